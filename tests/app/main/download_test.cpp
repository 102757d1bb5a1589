// The download page: a forecast file fetched from a local server becomes
// the weights; bad files, errors and stopping.
#include <gtest/gtest.h>

#include <chrono>

#include "app/analysis/probability_file.h"
#include "app_test_support.h"
#include "platform/rtl/codepages.h"
#include "tests/support/http_test_server.h"

namespace {

using vx::test::HttpReply;
using vx::test::HttpTestServer;
using vx::test::MakeReply;

class Download : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    Start();
    f = FormMain;
    f->FileNameEditSrv->SetText(folder + "survey.srv");
    f->HttpFetchFile->OnProgress = [this](TObject* s, int total, int readed) {
      f->HttpFetchFileProgress(s, total, readed);
      positions.push_back(f->ProgressBarGetFile->Position());
      EXPECT_EQ(f->ProgressBarGetFile->Max(), total);
    };
  }
  void Press(const std::string& url) {
    f->URLEditSrv->SetText(url);
    f->btnSrvToPrb->Click();
  }
  void WaitForTheEnd() {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (f->HttpFetchFile->Running() && std::chrono::steady_clock::now() < limit) Application->HandleMessage();
    ASSERT_FALSE(f->HttpFetchFile->Running());
  }
  static HttpReply SlowReply(const std::string&) { return vx::test::HeldReply(100000, 3000); }
  void StartAndWaitForProgress(const HttpTestServer& server) {
    Press(server.Host() + "/f");
    while (positions.empty()) Application->HandleMessage();
  }
  TFormMain* f = nullptr;
  std::vector<int> positions;
};

TEST_F(Download, AForecastFileBecomesTheWeights) {
  std::string file;
  for (int n = 1; n <= 49; ++n)
    file += "  " + std::to_string(n) + ":" + std::to_string(n * 4) + ":" + std::string(100, 'x') + "\r\n";
  HttpTestServer server([&](const std::string&) { return MakeReply(file); });
  dialogs.Expect(vx::DialogKind::Message, "Вероятность загружена"_cp, mrOk);
  f->btnSrvToPrb->SetCaption("Fetch");  // as a language file may rename it
  Press("http://" + server.Host() + "/lmsurvey/survey.srv");
  EXPECT_TRUE(f->Downloading);
  EXPECT_EQ(f->btnSrvToPrb->Caption(), "Прервать"_cp);
  WaitForTheEnd();
  EXPECT_EQ(dialogs.Log.back().Text, "Вероятность загружена"_cp);
  EXPECT_FALSE(f->Downloading);
  EXPECT_EQ(f->btnSrvToPrb->Caption(), "Загрузить"_cp);
  ASSERT_GT(positions.size(), 1u) << "the progress bar moves";
  EXPECT_LT(positions.front(), positions.back());
  EXPECT_EQ(positions.back(), static_cast<int>(file.size()));
  EXPECT_EQ(f->ProgressBarGetFile->Max(), 0);
  vx::Weights expected;
  for (int n = 1; n <= 49; ++n) expected.push_back(n * 4);
  vx::NormalizeProbabilities(expected);
  EXPECT_EQ(f->Weights, expected);
  EXPECT_EQ(server.Requests()[0], "GET /lmsurvey/survey.srv HTTP/1.0\r\nHost: " + server.Host() +
                                      "\r\nUser-Agent: app_tests\r\nAccept: */*\r\nPragma: no-cache\r\n\r\n");
  EXPECT_EQ(apptest::ReadFile(folder + "survey.srv"), file);
}

TEST_F(Download, ABadFileOrAFailedTransferKeepsTheOldWeights) {
  HttpTestServer server([](const std::string& request) {
    return request.find("/bad") != std::string::npos ? MakeReply("  1:5\r\n  50:1\r\n")
                                                     : MakeReply("gone", true, "404 Not Found");
  });
  f->Weights.assign(49, 7);
  dialogs.Expect(vx::DialogKind::Exception, "Строка 2 файла вероятностей (\"  50:1\"): номер вне 1..49"_cp, mrOk);
  Press(server.Host() + "/bad");
  WaitForTheEnd();
  dialogs.Expect(vx::DialogKind::Message, "Ошибка при загрузке"_cp, mrOk);
  Press(server.Host() + "/missing");
  WaitForTheEnd();
  EXPECT_EQ(f->Weights, std::vector<std::int32_t>(49, 7));
  EXPECT_EQ(f->btnSrvToPrb->Caption(), "Загрузить"_cp);
  EXPECT_FALSE(f->Downloading);
}

TEST_F(Download, PressingAgainStopsAndClosingTheWindowAborts) {
  HttpTestServer server(SlowReply);
  StartAndWaitForProgress(server);
  dialogs.Expect(vx::DialogKind::Message, "Закачка прервана"_cp, mrOk);
  dialogs.Expect(vx::DialogKind::Message, "Ошибка при загрузке"_cp, mrOk);
  f->btnSrvToPrb->Click();
  EXPECT_FALSE(f->Downloading);
  EXPECT_EQ(f->btnSrvToPrb->Caption(), "Загрузить"_cp);
  WaitForTheEnd();
  EXPECT_FALSE(FileExists(folder + "survey.srv"));
  positions.clear();
  StartAndWaitForProgress(server);
  const std::size_t shown = dialogs.Log.size();
  Stop();
  for (int i = 0; i < 3; ++i) Application->ProcessMessages();
  EXPECT_EQ(dialogs.Log.size(), shown) << "no message once the window has gone";
}

TEST(ProbabilityFile, ReadsValidatesAndRescalesOnce) {
  struct Case {
    const char* lines;
    int highest;
    std::vector<std::int32_t> weights;  // empty: an error
    const char* error;
  };
  const Case cases[] = {
      {"  1:200\n  2:100\n", 3, {100, 50, 0}, ""},
      {"xx2:7:1\nyy1:3\nzz2:9", 2, {3, 9}, ""},
      {"", 2, {}, "Файл вероятностей пуст"},
      {"  1:1\n  0:1", 2, {}, "Строка 2 файла вероятностей (\"  0:1\"): номер вне 1..2"},
      {"  3:1", 2, {}, "Строка 1 файла вероятностей (\"  3:1\"): номер вне 1..2"},
      {"  1:-1", 2, {}, "Строка 1 файла вероятностей (\"  1:-1\"): отрицательный вес"},
      {"  1 5", 2, {}, "Строка 1 файла вероятностей (\"  1 5\"): нет \":\""},
      {"1:5", 2, {}, "Строка 1 файла вероятностей (\"1:5\"): нет \":\""},
      {"  a:5", 2, {}, "Строка 1 файла вероятностей (\"  a:5\"): 'a' is not a valid integer value"},
      {"  1:", 2, {}, "Строка 1 файла вероятностей (\"  1:\"): '' is not a valid integer value"},
  };
  for (const Case& c : cases) {
    TStringList lines;
    lines.SetText(c.lines);
    if (c.weights.empty()) {
      try {
        vx::ReadProbabilityLines(lines, c.highest);
        ADD_FAILURE() << c.lines;
      } catch (EConvertError& e) { EXPECT_EQ(e.Message(), vx::Utf8ToCp1251(c.error)); }
    } else {
      EXPECT_EQ(vx::ReadProbabilityLines(lines, c.highest), c.weights) << c.lines;
    }
  }
}

}  // namespace
