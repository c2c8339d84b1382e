#include "fw/dialog_template.h"

#include <cstring>

namespace fw {
namespace {

// Walks the template's bytes; every read is checked against the end.
class Reader {
public:
    Reader(const BYTE* data, size_t size) : data_(data), size_(size) {}

    bool ok() const { return ok_; }
    size_t pos() const { return pos_; }

    WORD Word() {
        WORD v = 0;
        Take(&v, sizeof v);
        return v;
    }
    DWORD Dword() {
        DWORD v = 0;
        Take(&v, sizeof v);
        return v;
    }
    short Short() { return static_cast<short>(Word()); }
    void Skip(size_t n) {
        if (n > size_ - pos_) ok_ = false;
        else pos_ += n;
    }
    void AlignDword() { Skip(((pos_ + 3) & ~size_t{3}) - pos_); }

    // A name or ordinal (sz_Or_Ord): 0, 0xFFFF + ordinal, or a string.
    std::wstring NameOrOrdinal(bool* isOrdinal = nullptr) {
        const WORD first = Word();
        if (isOrdinal) *isOrdinal = first == 0xFFFF;
        if (first == 0xFFFF) {
            Word();
            return std::wstring();
        }
        std::wstring s;
        for (WORD c = first; ok_ && c != 0; c = Word()) s.push_back(static_cast<wchar_t>(c));
        return s;
    }
    std::wstring String() {
        std::wstring s;
        for (WORD c = Word(); ok_ && c != 0; c = Word()) s.push_back(static_cast<wchar_t>(c));
        return s;
    }

private:
    void Take(void* out, size_t n) {
        if (!ok_ || n > size_ - pos_) {
            ok_ = false;
            return;
        }
        std::memcpy(out, data_ + pos_, n);
        pos_ += n;
    }

    const BYTE* data_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
};

std::string Narrow(const std::wstring& wide) {
    std::string out;
    for (wchar_t c : wide) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

bool IsClassIdText(const std::wstring& name) {
    CLSID clsid;
    return name.size() == 38 && name.front() == L'{' && SUCCEEDED(CLSIDFromString(name.c_str(), &clsid));
}

}  // namespace

bool DialogTemplate::Load(HINSTANCE module, UINT id) {
    HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    if (!res) return false;
    HGLOBAL loaded = LoadResource(module, res);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    return data && Parse(data, SizeofResource(module, res));
}

bool DialogTemplate::Parse(const void* data, size_t size) {
    stripped_.clear();
    items_.clear();
    const BYTE* bytes = static_cast<const BYTE*>(data);
    Reader r(bytes, size);

    // Header. The extended form starts with version 1 and signature 0xFFFF.
    const WORD first = r.Word(), second = r.Word();
    const bool extended = first == 1 && second == 0xFFFF;
    extended_ = extended;
    DWORD style = 0;
    size_t countOffset = 0;
    if (extended) {
        r.Dword();  // help id
        r.Dword();  // extended style
        style = r.Dword();
    } else {
        style = static_cast<DWORD>(first) | (static_cast<DWORD>(second) << 16);
        r.Dword();  // extended style
    }
    countOffset = r.pos();
    const WORD count = r.Word();
    r.Skip(4 * sizeof(short));  // x, y, cx, cy
    r.NameOrOrdinal();          // menu
    r.NameOrOrdinal();          // window class
    r.String();                 // title
    if (style & DS_SETFONT) {
        r.Word();  // point size
        if (extended) r.Skip(sizeof(WORD) + 2);  // weight, italic, charset
        r.String();
    }
    if (!r.ok()) return false;

    std::vector<BYTE> out(bytes, bytes + r.pos());
    WORD kept = 0;
    int previousId = -1;
    for (WORD i = 0; i < count; ++i) {
        r.AlignDword();
        const size_t start = r.pos();
        DWORD itemStyle = 0;
        if (extended) {
            r.Dword();  // help id
            r.Dword();  // extended style
            itemStyle = r.Dword();
        } else {
            itemStyle = r.Dword();
            r.Dword();  // extended style
        }
        const short x = r.Short(), y = r.Short(), cx = r.Short(), cy = r.Short();
        const int id = extended ? static_cast<int>(r.Dword()) : static_cast<int>(static_cast<short>(r.Word()));
        bool ordinalClass = false;
        const std::wstring className = r.NameOrOrdinal(&ordinalClass);
        r.NameOrOrdinal();  // title
        // Creation data: a byte count, then the bytes.
        const WORD extra = r.Word();
        r.Skip(extra);
        if (!r.ok()) return false;

        if (!ordinalClass && IsClassIdText(className)) {
            TemplateControlItem item;
            item.classId = Narrow(className);
            item.id = id;
            item.dialogUnits = {x, y, x + cx, y + cy};
            item.style = itemStyle;
            item.previousId = previousId;
            items_.push_back(item);
        } else {
            while (out.size() % 4) out.push_back(0);
            out.insert(out.end(), bytes + start, bytes + r.pos());
            ++kept;
            previousId = id;
        }
    }
    std::memcpy(out.data() + countOffset, &kept, sizeof kept);
    stripped_.assign((out.size() + 3) / 4, 0);
    std::memcpy(stripped_.data(), out.data(), out.size());
    return true;
}

}  // namespace fw

namespace fw {

// The style sits at byte 12 of the extended header, at 0 of the plain one.
DWORD DialogTemplate::Style() const {
    if (stripped_.empty()) return 0;
    return stripped_[extended_ ? 3 : 0];
}

void DialogTemplate::SetStyle(DWORD style) {
    if (!stripped_.empty()) stripped_[extended_ ? 3 : 0] = style;
}

}  // namespace fw
