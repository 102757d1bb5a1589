// An idle program does not wake up: ten seconds of waiting count no wake-up
// of the event loop and no processor time, fresh after the start, with a
// base open, and after every window has been opened and closed. (The note
// pad's action list used to poll every 100 ms for as long as the program
// ran once the note pad had been opened.)
#include <sys/resource.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QPixmapCache>
#include <QTimer>
#include <string>

#include "app/windows/note_pad.h"
#include "draw_fixture.h"
#include "platform/gui/core/forms.h"

namespace {

using Idle = AppTest;

long long ThreadCpuMicroseconds() {
  rusage r{};
  getrusage(RUSAGE_THREAD, &r);
  return (r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1000000LL + r.ru_utime.tv_usec + r.ru_stime.tv_usec;
}

struct IdleCount {
  int wakeUps = 0;
  long long cpuMicroseconds = 0;
};

// Runs the program's loop for `seconds` (after a second to settle) and
// counts the times it woke up, less the one of the timer that ends it.
IdleCount WaitIdle(int seconds) {
  auto run = [](int ms, int* wakeUps) {
    bool over = false;
    QTimer::singleShot(ms, [&over] { over = true; });
    QMetaObject::Connection c;
    if (wakeUps)
      c = QObject::connect(QCoreApplication::eventDispatcher(), &QAbstractEventDispatcher::awake,
                           [wakeUps] { ++*wakeUps; });
    while (!over) Application->HandleMessage();
    QObject::disconnect(c);
  };
  run(1000, nullptr);
  IdleCount count;
  const long long before = ThreadCpuMicroseconds();
  run(seconds * 1000, &count.wakeUps);
  count.cpuMicroseconds = ThreadCpuMicroseconds() - before;
  count.wakeUps = std::max(0, count.wakeUps - 1);
  return count;
}

void ExpectIdle(const char* state) {
  const IdleCount c = WaitIdle(10);
  std::printf("idle over 10 s, %s: %d wake-ups, %lld us of processor time\n", state, c.wakeUps, c.cpuMicroseconds);
  EXPECT_EQ(c.wakeUps, 0) << state;
  // Under a clock tick of 10 ms: no tick of processor time.
  EXPECT_LT(c.cpuMicroseconds, 10000) << state;
}

TEST_F(Idle, TenSecondsWithoutAWakeUpFreshWithABaseAndAfterEveryWindow) {
  // A caret that does not blink (the system's setting): only the program's
  // own wake-ups are counted.
  QApplication::setCursorFlashTime(0);
  Start();
  FormMain->Show();
  ExpectIdle("fresh");

  apptest::WriteDrawBase(folder, "lotto", 6, 49, 300);
  apptest::OpenDrawBase(dialogs, folder + "lotto.dbf");
  ExpectIdle("base open");

  // Every window, opened and closed: the application's own forms, the note
  // pad, and the about box (modal, answered at once).
  FormMain->mnuNotePad->Click();
  ASSERT_NE(frmDuzediv, nullptr);
  for (int i = 0; i < Application->ComponentCount(); ++i) {
    auto* form = dynamic_cast<TForm*>(Application->Components(i));
    if (!form || form == FormMain) continue;
    SCOPED_TRACE(std::string(form->Name()));
    if (!form->Visible()) form->Show();
    for (int k = 0; k < 3; ++k) Application->ProcessMessages();
    form->Close();
    if (form->Visible()) form->Hide();
  }
  dialogs.Expect(vx::DialogKind::Modal, "", mrOk);
  FormMain->mnuAutor->Click();
  FormMain->SetFocus();
  // Qt's own pixmap cache drops what the windows' styles cached once, 30 s
  // after they drew; emptied here so that it does not count as ours.
  QPixmapCache::clear();
  ExpectIdle("after every window");
  Stop();
}

}  // namespace
