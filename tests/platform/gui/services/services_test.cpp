// Clipboard, timers, the shell facade, the warning sound and the busy cursor.
#include <gtest/gtest.h>

#include "platform/gui/core/application.h"
#include "platform/gui/core/busy_cursor.h"
#include "platform/gui/services/clipbrd.h"
#include "platform/gui/core/dialogs.h"
#include "platform/gui/controls/extctrls.h"
#include "platform/gui/core/shell.h"
#include "platform/gui/services/timers.h"
#include "platform/rtl/cp1251.h"
#include "platform/rtl/fileutils.h"
#include "tests/support/scratch_folder.h"

namespace {

TEST(Clipboard, SystemClipboardKeepsCp1251TextAndRegisteredFormats) {
  Application->Initialize();  // offscreen: the clipboard is in-process
  const unsigned rtf = RegisterClipboardFormat("Rich Text Format");
  EXPECT_EQ(RegisterClipboardFormat("rich text format"), rtf);
  EXPECT_GE(rtf, 0xC000u);
  Clipboard()->Open();
  Clipboard()->SetAsText("Тираж\t1\r\n"_cp);
  Clipboard()->SetAsBytes(rtf, "{\\rtf1 x}");
  Clipboard()->Close();
  EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
  EXPECT_TRUE(Clipboard()->HasFormat(rtf));
  EXPECT_EQ(Clipboard()->AsText(), "Тираж\t1\r\n"_cp);
  EXPECT_EQ(Clipboard()->GetAsBytes(rtf).value_or(""), "{\\rtf1 x}");
  // A write outside Open/Close replaces everything.
  Clipboard()->SetTextBuf("plain\0ignored");
  EXPECT_FALSE(Clipboard()->HasFormat(rtf));
  EXPECT_EQ(Clipboard()->AsText(), "plain");
  // Characters outside CP1251 come back as '?'.
  vx::ClipboardData data;
  data[CF_UNICODETEXT] = std::string("\xb1\x03\x62\x00", 4);  // U+03B1 'b' in UTF-16LE
  vx::ClipboardStore().SetContents(data);
  EXPECT_EQ(Clipboard()->AsText(), "?b");
}

TEST(Clipboard, MemoryClipboardStandsInForTheSystemOne) {
  Clipboard()->SetAsText("system");
  {
    vx::MemoryClipboard memory;
    EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
    Clipboard()->SetAsText("test");
    EXPECT_EQ(memory.Contents().at(CF_TEXT), "test");
  }
  EXPECT_EQ(Clipboard()->AsText(), "system");
}

class Window : public vx::MessageTarget {
 public:
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_TIMER) seen.push_back(static_cast<int>(m.WParam));
  }
  std::vector<int> seen;
};

TEST(Timers, WindowTimersFireByIdentifierOnAHandMovedClock) {
  vx::ManualTimers clock;
  Window w;
  EXPECT_EQ(SetTimer(&w, 111, 500), 111u);
  EXPECT_EQ(SetTimer(&w, 999, 10), 999u);
  EXPECT_EQ(SetTimer(&w, 0, 10), 0u);
  clock.Advance(30);
  EXPECT_EQ(w.seen, (std::vector<int>{999, 999, 999}));
  w.seen.clear();
  EXPECT_TRUE(KillTimer(&w, 999));
  EXPECT_FALSE(KillTimer(&w, 999));
  clock.Advance(470);
  EXPECT_EQ(w.seen, std::vector<int>{111});
  SetTimer(&w, 111, 100);  // the same identifier restarts with the new period
  EXPECT_EQ(clock.Interval(&w, 111), 100u);
  clock.Advance(200);
  EXPECT_EQ(w.seen, (std::vector<int>{111, 111, 111}));
  KillTimer(&w, 111);
  EXPECT_EQ(clock.Count(), 0);
}

TEST(Timers, TimerComponentRunsThroughTheService) {
  Application->Initialize();
  vx::ManualTimers clock;
  TTimer timer(nullptr);
  timer.SetInterval(250);
  int ticks = 0;
  timer.OnTimer = [&](TObject*) { ++ticks; };
  clock.Advance(1000);
  EXPECT_EQ(ticks, 4);
  timer.SetEnabled(false);
  clock.Advance(1000);
  EXPECT_EQ(ticks, 4);
  EXPECT_EQ(clock.Count(), 0);
}

TEST(Shell, OnlyWebAndMailAddressesOpen) {
  std::vector<AnsiString> opened;
  vx::SetAddressOpener([&](const AnsiString& a) {
    opened.push_back(a);
    return true;
  });
  struct Case {
    const char* address;
    bool opens;
  };
  const Case cases[] = {{"http://example.org/", true}, {"HTTPS://example.org", true},  {"mailto:a@b.c", true},
                        {"ftp://host/file", true},     {"file:///etc/passwd", false},  {"/bin/sh", false},
                        {"C:\\x.exe", false},          {"javascript:alert(1)", false}, {"http://", false}};
  for (const Case& k : cases)
    EXPECT_EQ(ShellExecute(nullptr, "open", k.address, "", "", SW_SHOWNORMAL), k.opens ? 42 : SE_ERR_ACCESSDENIED)
        << k.address;
  EXPECT_EQ(ShellExecute(nullptr, "print", "http://example.org/", "", "", SW_SHOWNORMAL), SE_ERR_ACCESSDENIED);
  EXPECT_EQ(opened.size(), 4u);
  vx::SetAddressOpener(nullptr);
}

TEST(Shell, ProgramDocumentsOpenFromTheCurrentFolderAndTheShellReportsFailures) {
  vx::test::ScratchFolder folder;
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(folder.Path());
  vx::test::WriteWholeFile(folder / "справка.txt", "help");
  const AnsiString full = ExpandFileName("справка.txt"_cp);
  std::vector<AnsiString> opened;
  bool opens = true;
  vx::SetAddressOpener([&](const AnsiString& a) {
    opened.push_back(a);
    return opens;
  });
  vx::ScriptedDialogs dialogs;
  dialogs.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };

  EXPECT_EQ(ShellOpenDocument(nullptr, "справка.txt"_cp), 42);
  EXPECT_EQ(opened, std::vector<AnsiString>{full});
  // The address call still refuses a local file.
  EXPECT_EQ(ShellExecute(nullptr, "open", full, "", "", SW_SHOWNORMAL), SE_ERR_ACCESSDENIED);

  dialogs.Expect(vx::DialogKind::Message, "Cannot find the file " + ExpandFileName("missing.txt"), mrOk);
  EXPECT_EQ(ShellOpenDocument(nullptr, "missing.txt"), SE_ERR_FNF);
  opens = false;
  dialogs.Expect(vx::DialogKind::Message, "There is no program to open " + full, mrOk);
  EXPECT_EQ(ShellOpenDocument(nullptr, "справка.txt"_cp), SE_ERR_NOASSOC);
  EXPECT_EQ(opened.size(), 2u);
  EXPECT_TRUE(dialogs.Done());

  vx::SetAddressOpener(nullptr);
  std::filesystem::current_path(previous);
}

TEST(Desktop, BeepsAreCountedAndTheBusyCursorComesBackAfterAnException) {
  Application->Initialize();
  const int before = vx::BeepCount();
  MessageBeep(0);
  EXPECT_EQ(vx::BeepCount(), before + 1);
  EXPECT_EQ(Screen->Cursor(), crDefault);
  try {
    vx::ScreenCursor busy;
    EXPECT_EQ(Screen->Cursor(), crHourGlass);
    throw Exception("failed");
  } catch (const Exception&) {}
  EXPECT_EQ(Screen->Cursor(), crDefault);
}

}  // namespace
