#include "memoapp/main_window.h"

#include "memoapp/form_design.h"
#include "memoapp/memo_file_handler.h"
#include "memoapp/memo_path.h"
#include "memoapp/memo_store.h"
#include <ostrel/com/com_runtime.h>
#include <ostrel/com/error_info.h>
#include <ostrel/com/text.h>
#include <ostrel/ostrel.h>

namespace memoapp {

namespace {

constexpr std::u16string_view kNotInUse = u"未使用";
constexpr std::u16string_view kNotImplemented = u"サンプルなので何も実装していません。";
constexpr std::u16string_view kExiting = u"終了";

}  // namespace

// The reader, the handler and the path live only for this call.
void FormMain::Form_Load() {
  ModuleMemoData::InitMemoData();
  ostrel::com::Bstr path(MemoFilePath(toolkit_.ProgramFolder()));
  ostrel::com::ComPtr<_IXmlHandler> handler = NewCXmlMemoReader().As<_IXmlHandler>();
  ostrel::com::ComPtr<_CXmlReader> reader = ostrel::com::CreateObject<_CXmlReader>(ostrel::kCXmlReaderId);
  // A missing file has been reported by the reader itself; the pairs then
  // simply show that no memo is in use.
  int16_t status = 0;
  ostrel::com::Check(reader->SetData(path.Address(), handler.Address(), &status));
  ShowMemos();
}

void FormMain::ShowMemos() {
  for (int16_t i = 1; i <= design::kPairs; ++i) {
    const int16_t k = i - 1;
    if (i > ModuleMemoData::memoCount) {
      toolkit_.SetCaption(k, kNotInUse);
      toolkit_.SetText(k, u"");
    } else {
      const CMemoData& memo = *ModuleMemoData::memoData(i);
      toolkit_.SetCaption(k, memo.title);
      toolkit_.SetText(k, memo.sentence);
    }
  }
}

// The window's size is read afresh at every step: setting it may deliver a
// nested resize, and the toolkit may not give exactly what was asked.
void FormMain::Form_Resize() {
  if (toolkit_.WindowMinimized()) return;
  KeepMinimumSize();
  const double widthTwips = toolkit_.WindowWidth();
  const auto& across = design::kWidthAllowances;
  const Int16 cellWidth = Int16::Rounded((widthTwips - across[0] - across[1] - across[2]) / design::kColumns);
  const float heightTwips = toolkit_.WindowHeight();
  const auto& down = design::kHeightAllowances;
  const Int16 cellHeight = Int16::Rounded((heightTwips - down[0] - down[1] - down[2]) / design::kColumns);
  for (int16_t k = 0; k < design::kPairs; ++k) LayOutPair(k, cellWidth, cellHeight);
  LayOutButtons();
}

void FormMain::KeepMinimumSize() {
  if (toolkit_.WindowWidth() < design::kMinWidth) toolkit_.SetWindowWidth(design::kMinWidth);
  if (toolkit_.WindowHeight() < design::kMinHeight) toolkit_.SetWindowHeight(design::kMinHeight);
}

void FormMain::LayOutPair(int16_t k, Int16 cellWidth, Int16 cellHeight) {
  using namespace design;
  const Int16 column = k % kColumns;
  const Int16 row = k / kColumns;
  toolkit_.SetLeft(Label1(k), ((cellWidth + kColumnGap) * column + kGridMargin + kLabelIndent).value());
  toolkit_.SetWidth(Label1(k), (cellWidth - kLabelIndent).value());
  // Only the pitch is 16-bit: the last addition is done wider.
  toolkit_.SetTop(Label1(k), kGridMargin + int32_t{((kLabelRise + cellHeight + kRowGap) * row).value()});
  toolkit_.SetLeft(Text1(k), ((cellWidth + kColumnGap) * column + kGridMargin).value());
  toolkit_.SetWidth(Text1(k), cellWidth.value());
  // Placed from where the label really stands, which a toolkit that snaps to
  // pixels may have moved.
  toolkit_.SetTop(Text1(k), kLabelRise + toolkit_.Top(Label1(k)) + kTextBoxDrop);
  toolkit_.SetHeight(Text1(k), cellHeight.value());
}

void FormMain::LayOutButtons() {
  toolkit_.SetTop(Command1, toolkit_.WindowHeight() - design::kButtonsRise + design::kButtonsDrop);
  toolkit_.SetTop(Command2, toolkit_.Top(Command1));
  toolkit_.SetLeft(Command2, toolkit_.WindowWidth() - design::kCommand2Inset);
}

void FormMain::Command1_Click() { toolkit_.MessageBox(kNotImplemented); }

void FormMain::Command2_Click() { toolkit_.MessageBox(kNotImplemented); }

void FormMain::menuFileExit_Click() {
  toolkit_.MessageBox(kExiting);
  toolkit_.EndProgram(0);
}

}  // namespace memoapp
