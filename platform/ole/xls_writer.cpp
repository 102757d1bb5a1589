#include "platform/ole/xls_writer.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <unordered_map>

#include "platform/ole/compound_file.h"

namespace vx {

namespace {

// Record types and fixed values, frozen by the file format.
constexpr std::uint16_t kBOF = 0x0809, kEOF = 0x000A, kCodePage = 0x0042, kWindow1 = 0x003D, kFont = 0x0031,
                        kXF = 0x00E0, kStyle = 0x0293, kBoundSheet = 0x0085, kSST = 0x00FC, kContinue = 0x003C,
                        kExtSST = 0x00FF, kDimensions = 0x0200, kWindow2 = 0x023E, kLabelSST = 0x00FD, kNumber = 0x0203,
                        kRK = 0x027E, kMulRK = 0x00BD, kBoolErr = 0x0205;
constexpr std::uint16_t kBiff8 = 0x0600, kGlobals = 0x0005, kWorksheet = 0x0010, kUtf16 = 1200;
constexpr std::size_t kMaxRecordData = 8224;
constexpr std::uint16_t kCellXF = 15;  // the first cell format after the 15 style formats
constexpr std::uint16_t kDateXF = 16;  // a cell format of the built-in short date format (14)
constexpr std::uint16_t kTimeXF = 17;  // a cell format of the built-in time format "h:mm:ss" (21)
constexpr std::size_t kMinStream = 4096;

void Le16(std::string& s, std::uint32_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}

void Le32(std::string& s, std::uint32_t v) {
  Le16(s, v & 0xFFFF);
  Le16(s, v >> 16);
}

void Patch32(std::string& s, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

void Record(std::string& out, std::uint16_t type, std::string_view data) {
  Le16(out, type);
  Le16(out, static_cast<std::uint32_t>(data.size()));
  out.append(data);
}

bool FitsLatin1(std::u16string_view s) {
  for (char16_t c : s)
    if (c > 0xFF) return false;
  return true;
}

// The characters of a text, one byte each (compressed) or UTF-16LE.
void Chars(std::string& out, std::u16string_view s, bool compressed) {
  for (char16_t c : s) {
    if (compressed) out += static_cast<char>(c);
    else Le16(out, c);
  }
}

std::string Bof(std::uint16_t kind) {
  std::string d;
  Le16(d, kBiff8);
  Le16(d, kind);
  Le16(d, 0x0DBB);      // build
  Le16(d, 0x07CC);      // year 1996
  Le32(d, 0);           // history flags
  Le32(d, 0x00000006);  // lowest BIFF version
  return d;
}

// The RK form of a number, when it holds the value exactly.
bool ToRK(double v, std::uint32_t& rk) {
  if (v >= -(1 << 29) && v < (1 << 29) && v == std::floor(v) && !(v == 0 && std::signbit(v))) {
    rk = (static_cast<std::uint32_t>(static_cast<std::int32_t>(v)) << 2) | 2u;
    return true;
  }
  const auto bits = std::bit_cast<std::uint64_t>(v);
  if ((bits & 0x3FFFFFFFFull) != 0) return false;
  rk = static_cast<std::uint32_t>(bits >> 32);
  return true;
}

std::u16string Limited(const std::u16string& s, std::size_t n) { return s.size() > n ? s.substr(0, n) : s; }

// The shared strings: every distinct text once, in the order first used.
struct SharedStrings {
  std::unordered_map<std::u16string, std::uint32_t> index;
  std::vector<const std::u16string*> texts;
  std::uint32_t references = 0;
  std::uint32_t Add(const std::u16string& s) {
    ++references;
    auto [it, added] = index.try_emplace(s, static_cast<std::uint32_t>(texts.size()));
    if (added) texts.push_back(&it->first);
    return it->second;
  }
};

// SST and its CONTINUE records, with the EXTSST that indexes them. A text
// may run on into the next record, which then begins with the text's
// encoding flag; a text's count and flags are never split.
std::string SstRecords(const SharedStrings& sst, std::size_t streamPos, std::string& extsst) {
  std::string out, rec;
  bool first = true;
  auto flush = [&] {
    Record(out, first ? kSST : kContinue, rec);
    rec.clear();
    first = false;
  };
  Le32(rec, sst.references);
  Le32(rec, static_cast<std::uint32_t>(sst.texts.size()));
  const std::uint32_t perBucket =
      std::max<std::uint32_t>(8, (static_cast<std::uint32_t>(sst.texts.size()) + 127) / 128);
  extsst.clear();
  Le16(extsst, perBucket);
  for (std::size_t i = 0; i < sst.texts.size(); ++i) {
    const std::u16string text = Limited(*sst.texts[i], kXlsMaxText);
    const bool compressed = FitsLatin1(text);
    const std::size_t charSize = compressed ? 1 : 2;
    if (rec.size() + 3 + (text.empty() ? 0 : charSize) > kMaxRecordData) flush();
    if (i % perBucket == 0) {
      Le32(extsst, static_cast<std::uint32_t>(streamPos + out.size() + 4 + rec.size()));
      Le16(extsst, static_cast<std::uint32_t>(4 + rec.size()));
      Le16(extsst, 0);
    }
    Le16(rec, static_cast<std::uint32_t>(text.size()));
    rec += static_cast<char>(compressed ? 0 : 1);
    std::size_t done = 0;
    while (done < text.size()) {
      std::size_t room = (kMaxRecordData - rec.size()) / charSize;
      if (room == 0) {
        flush();
        rec += static_cast<char>(compressed ? 0 : 1);
        continue;
      }
      const std::size_t n = std::min(room, text.size() - done);
      Chars(rec, std::u16string_view(text).substr(done, n), compressed);
      done += n;
    }
  }
  flush();
  return out;
}

void Store16(char* p, std::uint32_t v) {
  p[0] = static_cast<char>(v & 0xFF);
  p[1] = static_cast<char>((v >> 8) & 0xFF);
}

void Store32(char* p, std::uint32_t v) {
  Store16(p, v & 0xFFFF);
  Store16(p + 2, v >> 16);
}

// A cell record: header, row, column, the cell format, then `size` - 6
// bytes that `fill` writes.
template <typename Fill>
void CellRecord(std::string& out, std::uint16_t type, std::size_t size, int row, int col, Fill&& fill,
                std::uint16_t xf = kCellXF) {
  const std::size_t at = out.size();
  out.resize(at + 4 + size);
  char* p = out.data() + at;
  Store16(p, type);
  Store16(p + 2, static_cast<std::uint32_t>(size));
  Store16(p + 4, static_cast<std::uint32_t>(row));
  Store16(p + 6, static_cast<std::uint32_t>(col));
  Store16(p + 8, xf);
  fill(p + 10);
}

// The serial number of a date: the same days from 1 March 1900; before it
// one less, as the file format counts a 29 February 1900. A time without a
// date (below 1) is its own serial.
double DateSerial(double date) { return date < 1 ? date : date < 61 ? date - 1 : date; }

// The cell records of one sheet, by rows; texts take their shared index.
std::string SheetCells(const XlsSheet& sheet, SharedStrings& sst) {
  std::string out;
  const OleArray& cells = sheet.Cells;
  out.reserve(static_cast<std::size_t>(std::min(cells.Rows(), kXlsMaxRows)) *
              static_cast<std::size_t>(std::min(cells.Cols(), kXlsMaxCols)) * 8);
  std::vector<std::uint32_t> rks;
  for (int r = 0; r < std::min(cells.Rows(), kXlsMaxRows); ++r) {
    const std::vector<OleVariant>& row = cells.Row(r);
    const int n = std::min(static_cast<int>(row.size()), kXlsMaxCols);
    for (int c = 0; c < n;) {
      const OleVariant& v = row[static_cast<std::size_t>(c)];
      switch (v.index()) {
        case 4: {  // text
          const std::uint32_t index = sst.Add(std::get<std::u16string>(v));
          CellRecord(out, kLabelSST, 10, r, c, [&](char* p) { Store32(p, index); });
          break;
        }
        case 2: {  // Boolean
          const bool b = std::get<bool>(v);
          CellRecord(out, kBoolErr, 8, r, c, [&](char* p) {
            p[0] = static_cast<char>(b ? 1 : 0);
            p[1] = 0;
          });
          break;
        }
        case 3: {  // error
          const std::uint8_t code = std::get<OleError>(v).Code;
          CellRecord(out, kBoolErr, 8, r, c, [&](char* p) {
            p[0] = static_cast<char>(code);
            p[1] = 1;
          });
          break;
        }
        case 5: {  // date or time
          const OleDate& date = std::get<OleDate>(v);
          const auto bits = std::bit_cast<std::uint64_t>(DateSerial(date.Value));
          CellRecord(
              out, kNumber, 14, r, c,
              [&](char* p) {
                Store32(p, static_cast<std::uint32_t>(bits));
                Store32(p + 4, static_cast<std::uint32_t>(bits >> 32));
              },
              date.TimeOnly ? kTimeXF : kDateXF);
          break;
        }
        case 1: {  // number
          const double x = std::get<double>(v);
          std::uint32_t rk = 0;
          if (!ToRK(x, rk)) {
            const auto bits = std::bit_cast<std::uint64_t>(x);
            CellRecord(out, kNumber, 14, r, c, [&](char* p) {
              Store32(p, static_cast<std::uint32_t>(bits));
              Store32(p + 4, static_cast<std::uint32_t>(bits >> 32));
            });
            break;
          }
          // A run of RK numbers goes into one MULRK.
          rks.assign(1, rk);
          int last = c;
          while (last + 1 < n) {
            const auto* next = std::get_if<double>(&row[static_cast<std::size_t>(last + 1)]);
            std::uint32_t nextRk = 0;
            if (!next || !ToRK(*next, nextRk)) break;
            rks.push_back(nextRk);
            ++last;
          }
          if (rks.size() == 1) {
            CellRecord(out, kRK, 10, r, c, [&](char* p) { Store32(p, rk); });
          } else {
            CellRecord(out, kMulRK, 6 + 6 * rks.size(), r, c, [&](char* p) {
              // The first cell's format is already in place.
              for (std::size_t k = 0; k < rks.size(); ++k) {
                if (k) Store16(p - 2 + 6 * k, kCellXF);
                Store32(p + 6 * k, rks[k]);
              }
              Store16(p + 6 * rks.size() - 2, static_cast<std::uint32_t>(last));
            });
          }
          c = last + 1;
          continue;
        }
        default: break;  // empty
      }
      ++c;
    }
  }
  return out;
}

std::string Globals(const XlsWorkbook& book, const std::vector<const XlsSheet*>& sheets,
                    std::vector<std::size_t>& sheetOffsetsAt) {
  std::string out, d;
  Record(out, kBOF, Bof(kGlobals));
  d.clear();
  Le16(d, kUtf16);
  Record(out, kCodePage, d);
  d.clear();
  for (std::uint32_t v : {0u, 0u, 0x3A5Cu, 0x2328u, 0x0038u}) Le16(d, v);
  Le16(d, static_cast<std::uint32_t>(std::clamp(book.ActiveSheet, 0, static_cast<int>(sheets.size()) - 1)));
  for (std::uint32_t v : {0u, 1u, 600u}) Le16(d, v);
  Record(out, kWindow1, d);
  for (int i = 0; i < 5; ++i) {  // index 4 is never used, so five fonts give 0-3 and 5
    d.clear();
    for (std::uint32_t v : {200u, 0u, 0x7FFFu, 400u, 0u}) Le16(d, v);
    d.append(4, '\0');  // underline, family, character set, reserved
    d += static_cast<char>(5);
    d += '\0';
    d += "Arial";
    Record(out, kFont, d);
  }
  for (int i = 0; i < 18; ++i) {  // 15 style formats, then the cell formats: general, date, time
    const bool dateOrTime = i == kDateXF || i == kTimeXF;
    d.clear();
    Le16(d, 0);                                                 // font
    Le16(d, i == kDateXF ? 14 : i == kTimeXF ? 21 : 0);         // number format: short date, time or "General"
    Le16(d, i < 15 ? 0xFFF5u : 0x0001u);                        // locked; style with no parent, or cell of style 0
    Le16(d, 0x0020);                                            // bottom aligned
    Le16(d, i < 15 ? 0xF400u : dateOrTime ? 0x0400u : 0x0000u);  // attributes set here (dates: the number format)
    Le32(d, 0);                           // no borders
    Le32(d, 0);
    Le16(d, 0x20C0);  // pattern colours 64 and 65
    Record(out, kXF, d);
  }
  d.clear();
  for (std::uint32_t v : {0x8000u}) Le16(d, v);  // built-in style of format 0: Normal
  d += '\0';
  d += static_cast<char>(0xFF);
  Record(out, kStyle, d);
  for (const XlsSheet* sheet : sheets) {
    d.clear();
    Le32(d, 0);  // the sheet's offset, set once known
    d += '\0';   // visible
    d += '\0';   // worksheet
    const std::u16string name = Limited(sheet->Name, 31);
    const bool compressed = FitsLatin1(name);
    d += static_cast<char>(name.size());
    d += static_cast<char>(compressed ? 0 : 1);
    Chars(d, name, compressed);
    sheetOffsetsAt.push_back(out.size() + 4);
    Record(out, kBoundSheet, d);
  }
  return out;
}

}  // namespace

std::string WriteXlsStream(const XlsWorkbook& book) {
  XlsSheet blank{u"Sheet1", {}};
  std::vector<const XlsSheet*> sheets;
  for (const auto& s : book.Sheets) sheets.push_back(s.get());
  if (sheets.empty()) sheets.push_back(&blank);

  SharedStrings sst;
  std::vector<std::string> bodies;
  for (const XlsSheet* s : sheets) bodies.push_back(SheetCells(*s, sst));

  std::vector<std::size_t> offsetsAt;
  std::string out = Globals(book, sheets, offsetsAt);
  std::string extsst;
  const std::string strings = SstRecords(sst, out.size(), extsst);
  // The whole stream in one allocation, with room for the compound
  // document around it (its header, allocation table and directory).
  std::size_t total = out.size() + strings.size() + extsst.size() + 8;
  for (const std::string& body : bodies) total += body.size() + 80;
  total = std::max(total, kMinStream);
  out.reserve(total + total / 64 + 4096);
  out += strings;
  Record(out, kExtSST, extsst);
  Record(out, kEOF, {});

  const int active = std::clamp(book.ActiveSheet, 0, static_cast<int>(sheets.size()) - 1);
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    Patch32(out, offsetsAt[i], static_cast<std::uint32_t>(out.size()));
    Record(out, kBOF, Bof(kWorksheet));
    std::string d;
    int firstRow = 0, firstCol = 0, lastRow = -1, lastCol = -1;
    sheets[i]->Cells.UsedBounds(firstRow, firstCol, lastRow, lastCol);
    Le32(d, static_cast<std::uint32_t>(firstRow));
    Le32(d, static_cast<std::uint32_t>(std::min(lastRow + 1, kXlsMaxRows)));
    Le16(d, static_cast<std::uint32_t>(firstCol));
    Le16(d, static_cast<std::uint32_t>(std::min(lastCol + 1, kXlsMaxCols)));
    Le16(d, 0);
    Record(out, kDimensions, d);
    out += bodies[i];
    d.clear();
    Le16(d, 0x00B6u | (static_cast<int>(i) == active ? 0x0600u : 0u));  // grid, headers, zeros; selected
    Le16(d, 0);                                                         // top row
    Le16(d, 0);                                                         // left column
    Le32(d, 64);                                                        // grid line colour index
    Le16(d, 0);
    Le16(d, 0);
    Le32(d, 0);
    Record(out, kWindow2, d);
    Record(out, kEOF, {});
  }
  if (out.size() < kMinStream) out.resize(kMinStream, '\0');
  return out;
}

std::string WriteXlsFile(const XlsWorkbook& book) { return WriteCompoundFile(u"Workbook", WriteXlsStream(book)); }

}  // namespace vx
