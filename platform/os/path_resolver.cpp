#include "platform/os/path_resolver.h"

#include <dirent.h>
#include <sys/stat.h>

#include <array>
#include <cstdint>

#include "platform/rtl/cp1251.h"

namespace vx {
namespace {

// Upper case of every CP1251 byte, derived from the code page's Unicode
// table: ASCII a-z, Cyrillic а-я (U+0430..044F), the U+0450..045F block
// (ё, ђ, ѓ, є, ѕ, і, ї, ј, љ, њ, ћ, ќ, ў, џ) and ґ.
constexpr char32_t UpperCodePoint(char32_t c) {
    if (c >= U'a' && c <= U'z') return c - 0x20;
    if (c >= 0x0430 && c <= 0x044F) return c - 0x20;
    if (c >= 0x0450 && c <= 0x045F) return c - 0x50;
    if (c == 0x0491) return 0x0490;
    return c;
}

constexpr std::array<unsigned char, 256> MakeUpperTable() {
    std::array<unsigned char, 256> t{};
    for (int b = 0; b < 256; ++b) {
        const char32_t up = UpperCodePoint(cp1251::kToUnicode[static_cast<std::size_t>(b)]);
        const int ub = cp1251::FromUnicode(up);
        t[static_cast<std::size_t>(b)] = static_cast<unsigned char>(ub < 0 ? b : ub);
    }
    return t;
}

constexpr auto kUpper = MakeUpperTable();

bool NameExists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

bool IsFolder(const std::string& path) {
    struct stat st;
    return ::stat(path.empty() ? "." : path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The entry of folder whose name equals ansiName without regard to case; the
// first in byte order when there are several. Empty when none.
std::string FindIgnoringCase(const std::string& folder, std::string_view ansiName) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return {};
    std::string best;
    bool found = false;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        if (!SameNameIgnoringCase(NativeToAnsi(name), ansiName)) continue;
        if (!found || name < best) best = name;
        found = true;
    }
    ::closedir(dir);
    return best;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (kUpper[static_cast<unsigned char>(a[i])] != kUpper[static_cast<unsigned char>(b[i])])
            return false;
    }
    return true;
}

std::string AnsiToUtf8(std::string_view ansi) {
    std::string out;
    out.reserve(ansi.size());
    for (const char c : ansi) AppendUtf8(out, cp1251::kToUnicode[static_cast<unsigned char>(c)]);
    return out;
}

std::string NativeToAnsi(std::string_view native) {
    std::string out;
    out.reserve(native.size());
    std::size_t i = 0;
    while (i < native.size()) {
        const auto c = static_cast<unsigned char>(native[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        // Only the two- and three-byte forms can hold a CP1251 character.
        const int extra = (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= native.size()) return std::string(native);
        char32_t cp = extra == 1 ? (c & 0x1F) : (c & 0x0F);
        for (int k = 1; k <= extra; ++k) {
            const auto cx = static_cast<unsigned char>(native[i + static_cast<std::size_t>(k)]);
            if ((cx & 0xC0) != 0x80) return std::string(native);
            cp = (cp << 6) | (cx & 0x3F);
        }
        // Overlong forms are not UTF-8; their bytes are kept as they are.
        if ((extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800)) return std::string(native);
        const int b = cp1251::FromUnicode(cp);
        if (b < 0) return std::string(native);
        out += static_cast<char>(b);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

ResolvedPath ResolvePath(std::string_view ansiPath) {
    ResolvedPath result;
    std::string& native = result.native;
    native.reserve(ansiPath.size() + 8);

    std::size_t pos = 0;
    if (!ansiPath.empty() && (ansiPath[0] == '/' || ansiPath[0] == '\\')) {
        native = "/";
        pos = 1;
    }
    bool first = true;
    while (pos <= ansiPath.size()) {
        std::size_t end = ansiPath.find_first_of("/\\", pos);
        if (end == std::string_view::npos) end = ansiPath.size();
        const std::string_view component = ansiPath.substr(pos, end - pos);
        const std::string folder = native;  // the resolved prefix
        if (!first) native += '/';
        first = false;

        if (component.empty() || component == "." || component == "..") {
            native += component;
        } else if (result.missing > 0) {
            native += AnsiToUtf8(component);
            ++result.missing;
        } else {
            const std::string utf8 = AnsiToUtf8(component);
            std::string chosen;
            if (NameExists(native + utf8)) {
                chosen = utf8;
            } else if (utf8 != component && NameExists(native + std::string(component))) {
                chosen = component;
            } else {
                chosen = FindIgnoringCase(folder, component);
            }
            if (chosen.empty()) {
                chosen = utf8;
                // A name under something that is not a folder cannot be
                // created either: count its folder as missing too.
                result.missing = IsFolder(folder) ? 1 : 2;
            }
            native += chosen;
        }
        if (end == ansiPath.size()) break;
        pos = end + 1;
    }
    return result;
}

}  // namespace vx
