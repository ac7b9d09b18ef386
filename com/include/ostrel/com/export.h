// OSTREL_COM_API marks what libostrel-com exports. The library is built with
// hidden visibility, so a declaration of these headers without it stays
// inside the library: the exported surface is what is marked, and the
// recorded symbols (packaging/libostrel1.symbols) say when that changes.
#pragma once

#define OSTREL_COM_API __attribute__((visibility("default")))
