// CXmlWriter: writes one XML file line by line through the file slot.
//
// XmlOpen writes a fixed six-line header stamped with the current date and
// time; after it the caller writes comment and element lines in file order and
// decides their layout: how many tabs indent a line, and the literal tags.
// Only the content of WriteSetEllement is escaped (">", "<" and the quotation
// mark; never the ampersand or the apostrophe). Tags are not checked.
//
// Every operation returns True when done, or False after a message box when no
// file is open (XmlOpen: when one is, or when it cannot open the file, whose
// run-time error it leaves in the thread's error info). Each
// call composes its line whole and hands it to the operating system before it
// returns, so a run-time error fails that very call and leaves every earlier
// line in the file: 61 disk full, 5 a character Shift-JIS cannot represent
// (nothing of the line written), 6 an escaped character at position 32,767 or
// beyond (nothing written) or an indent of 32,767 (the tabs written).
// Releasing the writer closes its file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include <ostrel/com/dispatch.h>
#include <ostrel/ostrel.h>

namespace ostrel {

class CXmlWriter final : public ostrel::com::DispatchObject<CXmlWriter, _CXmlWriter> {
 public:
  CXmlWriter() { Class_Initialize(); }
  ~CXmlWriter() override { Class_Terminate(); }

  static const ostrel::com::DispatchTable<CXmlWriter>& Members();

  HRESULT XmlOpen(BSTR* filename, VARIANT_BOOL* result) override;
  HRESULT WriteComment(BSTR* comment, VARIANT_BOOL* result) override;
  HRESULT WriteSetEllement(int16_t* indentNo, BSTR* startTag, BSTR* contentData, BSTR* endTag,
                           VARIANT_BOOL* result) override;
  HRESULT WriteOneEllement(int16_t* indentNo, BSTR* ellement, VARIANT_BOOL* result) override;
  HRESULT XmlClose(VARIANT_BOOL* result) override;

 private:
  void Class_Initialize();
  void Class_Terminate();

  bool Open(std::u16string_view filename);
  bool Comment(std::u16string_view comment);
  bool SetElement(int16_t indentNo, std::u16string_view startTag, std::u16string_view contentData,
                  std::u16string_view endTag);
  bool OneElement(int16_t indentNo, std::u16string_view ellement);
  bool Close();

  // Shows the not-open message when no file is open; true then.
  bool RefusedWhileClosed() const;
  std::u16string Escape(std::u16string_view contentData) const;
  // The row of format::kEscapes for CHARACTER, or -1 when it is not escaped.
  static int16_t EscapeRow(char16_t character);

  VARIANT_BOOL openFlag = VARIANT_FALSE;
};

}  // namespace ostrel
