// TFormMain: the main window, the game shape, the weight array, the busy
// state with its stop flag, and the pattern every long loop follows.
//
// Game shape: DrawnCount numbers per draw out of 1..HighestNumber (6 of 49
// by default, HighestNumber at most 81); BaseDrawnCount/BaseHighestNumber
// are the shape of the open base and do not follow the spin edits.
//
// Weights: one weight per number, Weights[i-1] for number i. Its length
// always equals HighestNumber: ApplyHighestNumber resizes it, keeping the
// common prefix and adding zeros.
//
// Busy state: SetBusy(true) clears the stop flag and enables Stop;
// SetBusy(false) raises the stop flag, disables Stop and resets the progress
// bar. Outside a command the stop flag stands raised.
//
// Long loops, per record: do the work, then `if (PollStop()) { ...leave }`.
// PollStop steps the progress bar, pumps the message queue once and
// answers the stop flag.
//
// Commands started by the user go through Command(): while a command runs,
// a second one is refused (its click does nothing), and the command runs
// under a vx::CommandGuard (command_scope.h), so that an error inside it
// still leaves the busy state, enables the bases' controls and restores
// the cursor. Stop and closing the window are not commands and always
// work. Code that calls a command's method directly is not affected.
//
// Closing: FormCloseQuery first closes the number-series window and the
// note pad when they are shown (the note pad's Cancel keeps the program
// running), then raises the stop flag, posts a modified pending record of
// every open data set, closes the bases and saves the settings. While a
// command is still on the stack, posting and closing wait for FormDestroy;
// the windows are destroyed only when the application's loop runs again,
// so the command finishes first.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "RichGrid/rich_grid.h"
#include "app/analysis/dyads.h"
#include "app/http/httpfetch.h"
#include "app/bases/drag_sum.h"
#include "app/main/stability_run.h"
#include "app/settings/game_shape.h"
#include "platform/db/data_source.h"
#include "platform/db/dataset.h"
#include "platform/gui/controls/comctrls.h"
#include "platform/gui/controls/extctrls.h"
#include "platform/gui/controls/spin.h"
#include "platform/gui/controls/stdctrls.h"
#include "platform/gui/core/dialogs.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/core/menus.h"
#include "platform/gui/grids/dbgrids.h"

namespace vx {
class GenerationRun;
}  // namespace vx

class TFormMain : public TForm {
 public:
  explicit TFormMain(TComponent* AOwner);
  ~TFormMain() override;

  static constexpr int MaxHighestNumber = vx::MaxHighestNumber;

  // --- application-wide state
  int DrawnCount = 6;
  int HighestNumber = 49;
  int BaseDrawnCount = 6;
  int BaseHighestNumber = 49;
  std::vector<std::int32_t> Weights = std::vector<std::int32_t>(49, 0);
  bool StopFlag = false;
  bool Busy = false;
  bool RangeCheckEnabled = false;
  AnsiString DefaultBaseName;
  AnsiString TempResultsTable;
  Word TodayYear = 0, TodayMonth = 0, TodayDay = 0;
  int FirstSample = 20;
  int LastYear = 0, LastDraw = 0;

  // --- data sets (table data sets, opened by the base commands) and the
  // data sources that bind them to DBGridMain, DBGridRes and DBGridTick
  TDataSet* TableMain = nullptr;
  TDataSet* TableRes = nullptr;
  TDataSet* TableTick = nullptr;
  TDataSource* DataSourceMain = nullptr;
  TDataSource* DataSourceRes = nullptr;
  TDataSource* DataSourceTick = nullptr;

  // --- frame
  TMainMenu* MainMenu;
  TDBGrid* DBGridMain;
  TPageControl* PageControlMain;
  TTabSheet *tsProbability, *tsStatistic, *tsGeneration, *tsDyads, *tsIndNumber, *tsSystems, *tsResult, *tsCompare,
      *tsTickets, *tsDownLoad;
  TProgressBar* PBar;
  TPanel* pnlStop;
  TButton* btnStop;
  TRichStringGrid *SGrid, *SGridRes, *SGridTick;
  TOpenDialog* OpenDialogMain;
  TSaveDialog* SaveDialogMain;
  TPrintDialog* PrintDialogMain;
  TPopupMenu *StatPopUpMenu, *ResPopUpMenu, *TickPopUpMenu;

  // --- menu
  TMenuItem *mnuBase, *OpenMain, *N1, *CloseMain, *N2, *mnuNewBase, *mnuImport, *mnuImportML, *N3, *Exit1;
  TMenuItem *mnuEditing, *mnuEdit, *mnuInsert, *mnuDelete, *mnuClear, *N4, *mnuCheckBase, *mnuRegularize, *mnuRepair,
      *mnuReindex;
  TMenuItem* mnuOptions;
  TMenuItem *mnuPages, *mnutsProbability, *mnutsStatistic, *mnutsGeneration, *mnutsDyads, *mnutsIndNumber,
      *mnutsSystems, *mnutsResult, *mnutsCompare, *mnutsTickets, *mnutsDownLoad, *N5, *mnuShowBase, *mnuNotePad;
  TMenuItem *mnuAbout, *mnuHelp, *mnuAutor, *mnuLang;
  TMenuItem *mnuNewResBase, *mnuCloseResBase, *mnuResDelete, *mnuEmptyResBase;
  TMenuItem *mnuNewTickBase, *mnuCloseTickBase, *mnuTickDelete, *mnuTickDuplicate, *mnuEmptyTickBase;
  TMenuItem *mnuStatSaveToDoc, *mnuStatSaveToASCII, *mnuStatSaveToXLS, *mnuStatSaveToHTML;
  TMenuItem *mnuResSaveToDoc, *mnuResSaveToASCII, *mnuResSaveToXLS, *mnuResSaveToHTML;
  TMenuItem *mnuTickSaveToDoc, *mnuTickSaveToASCII, *mnuTickSaveToXLS, *mnuTickSaveToHTML;

  // --- Probability page
  TSpinEdit *seYearFrom, *seDrawFrom, *seYearTo, *seDrawTo, *speMaxProbCount;
  TLabel *lblErrorMessage, *lblNumWithNonZeroProb, *lblMaxProbNums;
  TButton *btnCalculate1, *btnCalculate2, *btnCalculate3, *btnCalculate4, *btnNumForNum, *btnShowMaxProbNum,
      *btnRegulators, *btnSaveLang, *btnCalculate5, *btnCalculateFunc1, *btnRandDNSys, *btnVisual, *btnChart;
  // The stability test's button and its log (both hidden).
  TButton* btnStabilityTest;
  TMemo* Memo1;
  TSpinEdit *speRDNinOne, *speRandDNSys;
  // --- Statistics page
  TButton *btnCalculateStat, *btnStatPreview;
  TGroupBox *gbxType, *gbxResStat;
  TRadioButton *rbtnAverInterval, *rbtnNonary, *rbtnFilled, *rbtnAmounts, *rbtnPairs;
  TLabel *lblSelCellsSum, *lblSelCellsCount, *lblSelCells9Sum;
  // --- Generation page
  TSpinEdit *seDrawn, *seHighest, *seVol, *speAmountMustBeGreater, *speAmountMustBeLess, *speCointGreater,
      *speCointLess, *speCointGreaterRes, *speCointLessRes;
  TCheckBox *cbxAscend, *cbxAmountMustBe, *cbxCointLess, *cbxCointLessRes, *cbxRowNumRange;
  TLabel *lblCurrentAmount, *lblCurrDrawGen;
  TButton *btnGenerate, *btnGenFromRandDNSys, *btnRowNumShow;
  // --- Dyads page
  TSpinEdit *seYearFromDyads, *seYearToDyads, *seDrawFromDyads, *seDrawToDyads;
  TMemo* mMM;
  TButton* Button1;
  TSpinEdit *seDyadsProbabilityGreater, *seDyadsProbabilityLess;
  TLabel *lblMaxDyadsProbabilityValue, *lblDyadsCount;
  TButton *btnCalcDyads, *btnShowDyads, *btnCreateComb, *btnAmountCorTo;
  // --- Characteristic numbers page
  TSpinEdit *seYearIndNumber, *seDrawIndNumber;
  TButton* btnForming;
  TLabel* lblForming;
  TMemo *mTempReal, *mTempIncr;
  TButton* btnCalcIndNumber;
  TLabel *lblReal, *lblIncr, *lblNoName, *lblIndNumbers;
  TEdit* edCheck;
  // --- Systems page
  TSpinEdit *seSystem, *seNum, *seFrom;
  TListBox* lbSystems;
  TMemo* MemoBase;
  TCheckBox* cbxSetNumbers;
  TLabel* lblRandom;
  TButton *btnLoadSystems, *btnGiveSystem;
  // --- Results page
  TDBGrid* DBGridRes;
  TButton *btnSaveVariants, *btnOpenRes, *btnResPreview;
  TGroupBox* gbxAddToTickets;
  TSpinEdit *speAddToTickYear, *speAddToTickDraw;
  TButton* btnAddToTickets;
  // --- Compare page
  TSpinEdit *seYearFromCheck, *seYearToCheck, *seDrawFromCheck, *seDrawToCheck, *seYearFromToRes, *seYearToTores,
      *seDrawFromToRes, *seDrawToToRes, *seNumOfCoins;
  TButton *btnDrawToRes, *btnCheck;
  TMemo* memoCheck;
  // --- Tickets page
  TDBGrid* DBGridTick;
  TCheckBox* cbxFiltered;
  TButton *btnOpenTick, *btnSaveTick, *btnCheckTick, *btnTickPreview;
  TSpinEdit *speYearFilter, *speDrawFilter, *seYearFromTickCheck, *seDrawFromTickCheck, *seYearToTickCheck,
      *seDrawToTickCheck;
  // --- Download page (the second address, file, button and the cache box
  // are hidden)
  TEdit *URLEditSrv, *FileNameEditSrv, *URLEdit, *FileNameEdit;
  TButton *btnSrvToPrb, *btnDownLoad;
  TProgressBar* ProgressBarGetFile;
  TCheckBox* UseCacheBox;
  // The HTTP client, created in FormCreate, freed in FormDestroy.
  THttpFetch* HttpFetchFile = nullptr;
  // True from a start press until the transfer ends or is stopped.
  bool Downloading = false;

  // --- start-up and shut-down
  void FormCreate(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void FormDestroy(TObject* Sender);
  // Posts a modified pending record of each data set, then closes the
  // three bases.
  void CloseBases();
  // Gives the options and new-base dialogs, the base viewer and the visual
  // view what they need of this window (called once every start-up window
  // exists); the destructor takes back what the base viewer and the visual
  // view were given.
  void ConnectWindows();
  void DisconnectBaseWindows();
  // --- windows opened from the menu and the pages, help and the page
  // menu (app/main/window_commands.cpp)
  void ConnectWindowCommands();
  void mnuNotePadClick(TObject* Sender);
  void mnuAutorClick(TObject* Sender);
  void btnVisualClick(TObject* Sender);
  void btnChartClick(TObject* Sender);
  void mnuOptionsClick(TObject* Sender);
  void mnuNewBaseClick(TObject* Sender);
  void btnRowNumShowClick(TObject* Sender);
  void mnuShowBaseClick(TObject* Sender);
  // Opens "helprus.txt" while the language item reads "Язык" (the
  // untranslated interface), else "helpeng.txt", from the current folder.
  void mnuHelpClick(TObject* Sender);

  // --- ordering of the draws into the temporary results table
  // (app/main/draw_ordering.cpp)
  void mnuRegularizeClick(TObject* Sender);

  // --- the stability test (app/main/stability_run.cpp)
  // The commands it runs (the real ones unless a test replaces them) and
  // how long it waits for a command that stays busy before it gives up.
  vx::StabilityCommands StabilityCommands;
  std::chrono::milliseconds StabilityWaitLimit{60000};
  void ConnectStabilityTest();
  void btnStabilityTestClick(TObject* Sender);

  // --- busy state and long loops
  void SetBusy(bool busy);
  // Steps the progress bar, pumps once; true when the loop must stop.
  bool PollStop();
  // Wraps a handler the user starts, refusing it while a command runs.
  TNotifyEvent Command(void (TFormMain::*handler)(TObject*));
  TNotifyEvent Command(TNotifyEvent handler);
  void btnStopClick(TObject* Sender);

  // --- game shape
  void ApplyHighestNumber();
  void ApplyDrawnCount();
  void seHighestChange(TObject* Sender);
  void seDrawnChange(TObject* Sender);
  void InitValue();
  void CheckCorrect(TObject* Sender);
  void resizeAll();
  int ShowProbabilityCount();
  bool CheckOpened();

  // --- settings (section "General")
  void SaveAll();
  void LoadAll();
  // The recent-file entry of the base menu (position 8), nullptr when none.
  TMenuItem* RecentFileItem() const;
  // Replaces the recent-file entry by one for `path`.
  void SetRecentFile(const AnsiString& path);
  // Called by the recent-file entry; the base commands set it.
  TNotifyEvent OnOpenRecent;

  // --- menu commands of this window
  void Exit1Click(TObject* Sender);
  void mnuLangClick(TObject* Sender);
  void btnSaveLangClick(TObject* Sender);
  void btnRegulatorsClick(TObject* Sender);
  void Button1Click(TObject* Sender);
  void ShowPage(TTabSheet* page);

  // --- draw base (app/main/draw_base_commands.cpp)
  AnsiString BaseDescription;
  int FirstYear = 0, FirstDraw = 0;
  int KeptYear = 0, KeptDraw = 0;
  int RecordCountShown = 0;
  AnsiString BaseFileName;
  // TableMain as the table data set it is.
  class TXBaseDataSet* DrawTable() const;
  void ConnectBaseCommands();
  void OpenMainClick(TObject* Sender);
  void CloseMainClick(TObject* Sender);
  // The window and the draw data set as they are with no base open.
  void ShowBaseClosed();
  // After a command that may have left the base closed (a failed repair or
  // re-opening): the window shows it closed when it is.
  void ShowBaseClosedIfItIs();
  void Indexing(class TXBaseDataSet* Table);
  void mnuEditClick(TObject* Sender);
  void mnuInsertClick(TObject* Sender);
  void mnuDeleteClick(TObject* Sender);
  void mnuClearClick(TObject* Sender);
  void mnuEmptyResBaseClick(TObject* Sender);
  void mnuEmptyTickBaseClick(TObject* Sender);
  void ClearTable(TDataSet* Table, TDBGrid* Grid);
  void mnuCheckBaseClick(TObject* Sender);
  void mnuRepairClick(TObject* Sender);
  void mnuReindexClick(TObject* Sender);
  void TableMainBeforeInsert(TDataSet* DataSet);
  void TableMainNewRecord(TDataSet* DataSet);
  void InsertNew();
  // Grid columns of the draw, results and tickets bases for their open
  // (or closed) tables.
  void LayOutDrawGrid();
  void LayOutResultGrid();
  void LayOutTicketGrid();
  // Opens the table file `path` in one of the three data sets, without an
  // index.
  void OpenTableAs(TDataSet* target, const AnsiString& path);
  // True while the draw grid lets the user edit.
  bool DrawGridEditable() const;
  void SetDrawGridEditable(bool editable);
  // --- import of other programs' draw files (app/main/draw_import.cpp)
  // "из Мультилотек": ImportForeignDraws("Multilotek").
  void mnuImportMLClick(TObject* Sender);
  // Asks for a file, closes the draw base and, for a format it knows, makes
  // the file's draws the draw base: a table of 20 numbers at the temporary
  // results path (the results table closed first when it holds that path),
  // every draw posted, the game shape 20 numbers of the highest found (at
  // most 81; a message when the file holds none). A file it cannot read
  // raises the reader's or the conversion's error before the table is made.
  void ImportForeignDraws(const AnsiString& format);

  // --- forecast download (app/main/download_commands.cpp)
  void ConnectDownloadCommands();
  void CreateHttpClient();
  // Start/stop buttons of the visible and of the hidden panel.
  void btnSrvToPrbClick(TObject* Sender);
  void btnDownLoadClick(TObject* Sender);
  void UseCacheBoxClick(TObject* Sender);
  void HttpFetchFileProgress(TObject* Sender, int TotalSize, int Readed);
  void HttpFetchFileDoneFile(TObject* Sender, const AnsiString& FileName, int FileSize);
  void HttpFetchFileError(TObject* Sender);
  // Loads a downloaded probability file into the weights; a bad file raises
  // EConvertError and leaves the weights as they were.
  void FileToProb(const AnsiString& FileName);

  // --- probability methods (app/main/probability_commands.cpp)
  void ConnectProbabilityCommands();
  // Finds (year, draw) by a walk from the first record; `each` sees every
  // record walked, the found one included.
  bool Seeking(int year, int draw, const std::function<void(vx::DrawSource&)>& each = {});
  void NormalizeProbabilities();
  void ShowMostProbableNumbers(int count, std::vector<int>& list);
  void btnCalculate1Click(TObject* Sender);
  void btnCalculate2Click(TObject* Sender);
  void btnCalculate3Click(TObject* Sender);
  void btnCalculate4Click(TObject* Sender);
  void btnNumForNumClick(TObject* Sender);
  void btnShowMaxProbNumClick(TObject* Sender);

  // --- results base and comparison (app/main/formmain_results.cpp)
  void ConnectResultCommands();
  void btnOpenResClick(TObject* Sender);
  void mnuNewResBaseClick(TObject* Sender);
  void mnuCloseResBaseClick(TObject* Sender);
  void mnuResDeleteClick(TObject* Sender);
  bool CloseDataTable(TDataSet* Table, TDBGrid* Grid);
  void DeleteTableRecord(TDataSet* Table, TDBGrid* Grid);
  void DuplicateTableRecord(TDataSet* Table, TDBGrid* Grid);
  // Recreates the temporary results table with `count` number fields and
  // opens it in TableRes; false (with a message) when it cannot be made,
  // for instance while it is the open draw base.
  bool OpenTempResults(int count);
  void SetupResultColumns();
  void btnDrawToResClick(TObject* Sender);
  void btnCheckClick(TObject* Sender);
  // The report of memoCheck: every combination of the open table (numbers
  // from field firstNumber on, first to last) against every draw from
  // (yearFrom, drawFrom) to (yearTo, drawTo) or the end of the draw base,
  // in the busy state. With `poll` each record read steps the progress
  // bar, pumps and honours Stop. False when no report was made (start
  // draw missing, stopped).
  bool CompareWithDraws(TDataSet* combinations, int firstNumber, int yearFrom, int drawFrom, int yearTo, int drawTo,
                        bool poll);
  void btnSaveVariantsClick(TObject* Sender);
  // Refill the hidden results (tickets) grid from TableRes (TableTick).
  void ResToSGridRes();
  void TickToSGridTick();
  // Appends one result (YEAR today's year, DRAW `draw`, the numbers in
  // order) to TableRes; the record stays pending until the next append or
  // post.
  void AppendResult(int draw, const std::vector<int>& numbers);
  // The same with the YEAR given.
  void AppendResult(int year, int draw, const std::vector<int>& numbers);
  // Writes the rows into a fresh temporary results table of `count`
  // numbers (DRAW 1, 2, ...), refills the hidden grid and shows the page.
  void RowsToResults(int count, const std::vector<std::vector<int>>& rows);

  // --- tickets base (app/main/tickets_commands.cpp)
  void ConnectTicketCommands();
  // Copies the open table (a pending record posted first) to the file
  // SaveDialogMain chooses; returns that file, or "" when cancelled or
  // refused (the file is one of the open bases).
  AnsiString SaveTableCopy(TDataSet* table);
  void btnOpenTickClick(TObject* Sender);
  void btnSaveTickClick(TObject* Sender);
  void btnCheckTickClick(TObject* Sender);
  void FilterChange();
  void cbxFilteredClick(TObject* Sender);
  void speYearFilterChange(TObject* Sender);
  void btnAddToTicketsClick(TObject* Sender);
  void mnuNewTickBaseClick(TObject* Sender);
  void mnuCloseTickBaseClick(TObject* Sender);
  void mnuTickDeleteClick(TObject* Sender);
  void mnuTickDuplicateClick(TObject* Sender);
  // A new ticket at either end of the table (not in its middle, nor in an
  // empty table) takes YEAR and DRAW of the ticket current when the insert
  // began and the NUM after its one.
  void TableTickBeforeInsert(TDataSet* DataSet);
  void TableTickNewRecord(TDataSet* DataSet);
  void InsertNewTick();
  int KeptTickYear = 0, KeptTickDraw = 0, KeptTickNum = 0;

  // --- export, preview and print of the statistics, results and tickets
  // grids (app/main/export_commands.cpp)
  enum class ExportKind { Doc, Ascii, Xls, Html };
  void ConnectExportCommands();
  void mnuStatSaveToDocClick(TObject* Sender);
  void mnuStatSaveToASCIIClick(TObject* Sender);
  void mnuStatSaveToXLSClick(TObject* Sender);
  void mnuStatSaveToHTMLClick(TObject* Sender);
  void mnuResSaveToDocClick(TObject* Sender);
  void mnuResSaveToASCIIClick(TObject* Sender);
  void mnuResSaveToXLSClick(TObject* Sender);
  void mnuResSaveToHTMLClick(TObject* Sender);
  void mnuTickSaveToDocClick(TObject* Sender);
  void mnuTickSaveToASCIIClick(TObject* Sender);
  void mnuTickSaveToXLSClick(TObject* Sender);
  void mnuTickSaveToHTMLClick(TObject* Sender);
  // The save dialog for a file of that kind, offering fileName in the
  // program's folder; true when a file was chosen.
  bool ChooseExportFile(ExportKind kind, const AnsiString& fileName);
  // SGrid as it stands, into a file "Statistics" of that kind.
  void ExportStatistics(ExportKind kind);
  // Nothing while the table is closed; else its pending record posted, the
  // hidden grid refilled and written to "Results.<ext>" or
  // "Tickets.<ext>" (or what the user chooses).
  void ExportTableGrid(TDataSet* table, TRichStringGrid* grid, ExportKind kind);
  void ExportTableGridToDOC(TDataSet* table, TRichStringGrid* grid);
  void ExportTableGridToASCII(TDataSet* table, TRichStringGrid* grid);
  void ExportTableGridToXLS(TDataSet* table, TRichStringGrid* grid);
  void ExportTableGridToHTML(TDataSet* table, TRichStringGrid* grid);
  // Each column of the string grid takes the width of the data grid's.
  void CopyColumnWidths(TDBGrid* from, TRichStringGrid* to);
  // The preview window over the grid from page 1, shown modally; the
  // results and tickets grids (columns = their data grid) are refilled
  // first and print centred with the data grid's column widths.
  void PreviewGrid(TRichStringGrid* grid, TDBGrid* columns);
  void btnStatPreviewClick(TObject* Sender);
  void btnResPreviewClick(TObject* Sender);
  void btnTickPreviewClick(TObject* Sender);
  // The print dialog for the pages to print: FromPage..ToPage as chosen,
  // 0 and 0 (nothing) when cancelled.
  void SGridPrintStart(TObject* Sender, int NrOfPages, int& FromPage, int& ToPage);
  void SGridResPrintStart(TObject* Sender, int NrOfPages, int& FromPage, int& ToPage);

  // --- generation (app/main/generation_commands.cpp)
  void ConnectGenerationCommands();
  // Reads the allowed numbers of a position from the number-series window
  // (set by ConnectWindows; unset, every read fails as an empty cell does).
  std::function<void(int position, int& lo, int& hi)> RowNumRange;
  // The generating command running now, if any (generation_run.h).
  vx::GenerationRun* CurrentGenerationRun = nullptr;
  bool CheckGenerationConditions(int k, int n, const std::vector<int>& combination);
  bool CoincidesWithDrawBase(int k, const std::vector<int>& combination, int upper, int lower);
  bool CoincidesWithResultsBase(int k, const std::vector<int>& combination, int upper, int lower);
  // The lowest and highest number allowed at positions 1, 2, ...
  using PositionRanges = std::vector<std::pair<int, int>>;
  // Reads the ranges of positions 1..k through RowNumRange; a range that
  // cannot be read shows its error and answers false.
  bool ReadPositionRanges(int k, PositionRanges& ranges);
  // One weighted pick into `combination`, each position within its range
  // of `byRow` when given (at least k ranges); false when stopped. The pick
  // pumps the message queue at most once per 10 ms.
  bool PickNumbers(int k, int n, bool ascending, const PositionRanges* byRow, std::vector<int>& combination);
  void btnGenerateClick(TObject* Sender);
  // Appends `wanted` picks that meet the conditions to the open results
  // table (DRAW 1, 2, ...), each position within its range of `byRow` when
  // given; the last one left pending; false when stopped.
  bool GenerateVariants(int k, int n, int wanted, const PositionRanges* byRow = nullptr);
  void btnFormingClick(TObject* Sender);

  // --- statistics page (app/main/statistics_commands.cpp)
  void ConnectStatisticsCommands();
  void btnCalculateStatClick(TObject* Sender);
  void ResetGrid();
  void prcAverInterval();
  void prcNonary();
  void prcFilled();
  void prcAmounts();
  void prcPairs();
  // Sums SGrid from (ACol1, ARow1) to (ACol2, ARow2) into the selection
  // labels; returns the count label's text.
  AnsiString SelectCells(int ACol1, int ARow1, int ACol2, int ARow2);
  void ShowMyHint(int X, int Y, const AnsiString& text);
  void SGridSelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
  void SGridMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void SGridMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void SGridMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void FormMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void SGridGetAlignment(TObject* Sender, int ARow, int ACol, TAlignment& AAlignment);
  // The drag over SGrid: anchor, dragging flag and its hint window.
  std::unique_ptr<vx::DragSum> StatDrag;

  // --- characteristic numbers (app/main/characteristic_commands.cpp)
  void btnCalcIndNumberClick(TObject* Sender);

  // --- dyads (app/main/dyads_commands.cpp)
  void ConnectDyadCommands();
  vx::DyadMatrix Dyads;
  void btnCalcDyadsClick(TObject* Sender);
  void btnShowDyadsClick(TObject* Sender);
  void btnCreateCombClick(TObject* Sender);
  void btnAmountCorToClick(TObject* Sender);
  // Writes the rows into a fresh temporary results table (DRAW 1, 2, ...),
  // each sorted first when cbxAscend is checked.
  void CombosToResults(int drawn, std::vector<std::vector<int>> rows);

  // --- two-stage, weighting function, random-draw system
  // (app/main/weighting_commands.cpp)
  void ConnectWeightingCommands();
  void btnCalculate5Click(TObject* Sender);
  void btnCalculateFunc1Click(TObject* Sender);
  void btnRandDNSysClick(TObject* Sender);
  void btnGenFromRandDNSysClick(TObject* Sender);
  void GenerateFromRDN(int k, int perDraw, int n, int count);
  // The draws of the probability page's range; false (message shown) when
  // the start draw is missing or the walk was stopped.
  bool ReadRangeDraws(std::vector<std::vector<int>>& rows);

  // --- wheel systems (app/main/wheel_systems_commands.cpp)
  void ConnectWheelCommands();
  // Lists the wheel files whose K is seSystem.
  void LoadSystems();
  // The description of a wheel file and its K (0 when the name does not
  // decode, after a message).
  AnsiString Decrypt(const AnsiString& fileName, int& K);
  AnsiString GetFileName(const AnsiString& description);
  void btnLoadSystemsClick(TObject* Sender);
  // Expands the selected system (also the button "Выдать").
  void lbSystemsDblClick(TObject* Sender);

 private:
  // Whether the insert under way kept the values of a ticket.
  bool ticketKept_ = false;
  // When the pick last pumped the message queue.
  std::chrono::steady_clock::time_point pickPumpedAt_{};
  // The N numbers a wheel is expanded over; false (after a message or
  // "Останов") when there are none.
  bool ChooseWheelNumbers(std::vector<int>& chosen);
  // Hot or cold over the probability page's range; false when it produced
  // nothing (no base, start missing, stopped).
  bool RangeMethod(bool cold);
  void StartStopDownload(TEdit* url, TEdit* file, TButton* button);
  void ResetDownloadButtons();
  void BuildMenu();
  void BuildFrame();
  void BuildProbabilityPage();
  void BuildStatisticsPage();
  void BuildGenerationPage();
  void BuildOtherPages();
};

extern TFormMain* FormMain;

namespace vx {
// Posts a modified pending record of the data set (when it is open and in
// edit or insert state), counting text still open in a grid's cell editor;
// no question is asked.
void PostPending(TDataSet* dataSet);
}  // namespace vx
