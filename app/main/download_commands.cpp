// The download page: the HTTP client's set-up, the start/stop buttons, its
// events and the loading of a downloaded probability file.
#include "app/analysis/probability_file.h"
#include "app/main/formmain.h"
#include "app/settings/language.h"
#include "platform/gui/core/application.h"
#include "platform/rtl/fileutils.h"

void TFormMain::ConnectDownloadCommands() {
  // Stopping a transfer always works; starting one waits until no command
  // runs.
  btnSrvToPrb->OnClick = [this](TObject* s) {
    if (Downloading) btnSrvToPrbClick(s);
    else Command (&TFormMain::btnSrvToPrbClick)(s);
  };
  btnDownLoad->OnClick = [this](TObject* s) {
    if (Downloading) btnDownLoadClick(s);
    else Command (&TFormMain::btnDownLoadClick)(s);
  };
  UseCacheBox->OnClick = [this](TObject* s) { UseCacheBoxClick(s); };
}

void TFormMain::CreateHttpClient() {
  HttpFetchFile = new THttpFetch(this);
  HttpFetchFile->SetName("HttpFetchFile");
  HttpFetchFile->SetBinaryData(false);
  HttpFetchFile->OnDoneFile = [this](TObject* s, const AnsiString& name, int size) {
    HttpFetchFileDoneFile(s, name, size);
  };
  HttpFetchFile->OnProgress = [this](TObject* s, int total, int readed) { HttpFetchFileProgress(s, total, readed); };
  HttpFetchFile->OnError = [this](TObject* s) { HttpFetchFileError(s); };
  HttpFetchFile->SetBinaryData(true);
  HttpFetchFile->SetAgent(ExtractFileName(Application->ExeName()));
  HttpFetchFile->SetUseCache(false);
}

void TFormMain::btnSrvToPrbClick(TObject*) { StartStopDownload(URLEditSrv, FileNameEditSrv, btnSrvToPrb); }

void TFormMain::btnDownLoadClick(TObject*) { StartStopDownload(URLEdit, FileNameEdit, btnDownLoad); }

// The state is the flag, not the caption, so a language file that renames
// the button keeps it working.
void TFormMain::StartStopDownload(TEdit* url, TEdit* file, TButton* button) {
  if (Downloading) {
    Downloading = false;
    button->SetCaption(vx::Tr("Загрузить"_cp));
    HttpFetchFile->Abort();
    ShowMessage(vx::Tr("Закачка прервана"_cp));
  } else {
    Downloading = true;
    button->SetCaption(vx::Tr("Прервать"_cp));
    HttpFetchFile->SetURL(url->Text());
    HttpFetchFile->SetFileName(file->Text());
    HttpFetchFile->Download();
  }
}

void TFormMain::ResetDownloadButtons() {
  Downloading = false;
  btnDownLoad->SetCaption(vx::Tr("Загрузить"_cp));
  btnSrvToPrb->SetCaption(vx::Tr("Загрузить"_cp));
}

void TFormMain::UseCacheBoxClick(TObject*) { HttpFetchFile->SetUseCache(UseCacheBox->Checked()); }

void TFormMain::HttpFetchFileProgress(TObject*, int TotalSize, int Readed) {
  ProgressBarGetFile->SetMax(TotalSize);
  ProgressBarGetFile->SetPosition(Readed);
}

void TFormMain::HttpFetchFileDoneFile(TObject*, const AnsiString& FileName, int) {
  ProgressBarGetFile->SetMax(0);
  ResetDownloadButtons();
  FileToProb(FileName);
  ShowMessage(vx::Tr("Вероятность загружена"_cp));
}

void TFormMain::HttpFetchFileError(TObject*) {
  Downloading = false;
  ShowMessage(vx::Tr("Ошибка при загрузке"_cp));
  ResetDownloadButtons();
}

void TFormMain::FileToProb(const AnsiString& FileName) {
  TStringList lines;
  lines.LoadFromFile(FileName);
  Weights = vx::ReadProbabilityLines(lines, HighestNumber);
}
