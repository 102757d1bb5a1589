// An idle program does not wake up: ten seconds of waiting count no wake-up
// of the event loop and no processor time, fresh after the start, with a
// base open, and after every window has been opened and closed. (The note
// pad's action list used to poll every 100 ms for as long as the program
// ran once the note pad had been opened.)
#include <time.h>

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
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1000000LL + t.tv_nsec / 1000;
}

struct IdleCount {
  int wakeUps = 0;
  long long cpuMicroseconds = 0;
};

// Runs the program's loop for `seconds` (after a second to settle) and
// counts the times it woke up, less the one of the timer that ends it. The
// processor time is counted from the moment the loop first goes to sleep
// (the settling timer's own idle round, which updates the actions, is
// work done for that event) to the moment the ending timer fires.
IdleCount WaitIdle(int seconds) {
  auto run = [](int ms, IdleCount* count) {
    bool over = false;
    long long asleep = -1, end = 0;
    QTimer::singleShot(ms, [&] {
      over = true;
      end = ThreadCpuMicroseconds();
    });
    QMetaObject::Connection woke, sleeps;
    if (count) {
      woke = QObject::connect(QCoreApplication::eventDispatcher(), &QAbstractEventDispatcher::awake,
                              [count] { ++count->wakeUps; });
      sleeps = QObject::connect(QCoreApplication::eventDispatcher(), &QAbstractEventDispatcher::aboutToBlock,
                                [&asleep] {
                                  if (asleep < 0) asleep = ThreadCpuMicroseconds();
                                });
    }
    while (!over) Application->HandleMessage();
    QObject::disconnect(woke);
    QObject::disconnect(sleeps);
    if (count) count->cpuMicroseconds = end - asleep;
  };
  run(1000, nullptr);
  IdleCount count;
  run(seconds * 1000, &count);
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
