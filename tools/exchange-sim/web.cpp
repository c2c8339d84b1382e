#include "tools/exchange-sim/web.h"

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace exsim {

namespace {

constexpr std::size_t kMaxFile = 64u << 20;

std::string HtmlEscape(std::string_view s) {
    std::string out;
    for (char c : s) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// Value of key in a query string ("a=1&city=x"), decoded; empty when absent.
std::string QueryValue(std::string_view query, std::string_view key) {
    std::size_t i = 0;
    while (i <= query.size()) {
        std::size_t amp = query.find('&', i);
        if (amp == std::string_view::npos) amp = query.size();
        std::string_view item = query.substr(i, amp - i);
        std::size_t eq = item.find('=');
        if (eq != std::string_view::npos && item.substr(0, eq) == key) {
            std::string v;
            return PercentDecode(item.substr(eq + 1), &v) ? v : std::string();
        }
        i = amp + 1;
    }
    return std::string();
}

std::string Lower(std::string_view s) {
    std::string out;
    for (char c : s) out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return out;
}

// The lower-case decoded path of a request target; false when malformed.
bool PathOf(std::string_view target, std::string* path) {
    if (!PercentDecode(target.substr(0, target.find('?')), path)) return false;
    *path = Lower(*path);
    return true;
}

HttpResponse Page(const std::string& title, const std::string& content) {
    HttpResponse r;
    r.body = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">"
             "<title>" + title + "</title></head><body style=\"margin:2px;font-size:12px\">" +
             content + "</body></html>\r\n";
    return r;
}

HttpResponse NotFound() {
    HttpResponse r;
    r.status = 404;
    r.contentType = "text/plain";
    r.body = "not found\r\n";
    return r;
}

bool ReadSmallFile(const std::string& path, std::string* out) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || static_cast<std::size_t>(st.st_size) > kMaxFile)
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    *out = ss.str();
    return true;
}

const char* Reason(int status) {
    switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    default: return "Error";
    }
}

}  // namespace

const char* const kDefaultVersionList = "TovanClient.exe|1,Vokar.ocx|1,TvUpdate.exe|1,Brivet.exe|1";

bool IsSafeFileName(std::string_view name) {
    if (name.empty()) return false;
    if (name.find("..") != std::string_view::npos) return false;
    for (char c : name)
        if (c == '/' || c == '\\' || c == '\0') return false;
    return true;
}

bool PercentDecode(std::string_view in, std::string* out) {
    out->clear();
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (in[i] != '%') {
            *out += in[i];
            continue;
        }
        if (i + 2 >= in.size()) return false;
        int hi = hex(in[i + 1]), lo = hex(in[i + 2]);
        if (hi < 0 || lo < 0) return false;
        *out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return true;
}

int ParseRequestHead(std::string_view buf, std::size_t maxHead, std::string* method, std::string* target,
                     std::size_t* headLen) {
    std::size_t end = buf.find("\r\n\r\n");
    std::size_t sep = 4;
    std::size_t lfEnd = buf.find("\n\n");
    if (lfEnd != std::string_view::npos && (end == std::string_view::npos || lfEnd < end)) {
        end = lfEnd;
        sep = 2;
    }
    if (end == std::string_view::npos) return buf.size() > maxHead ? -1 : 0;
    if (end + sep > maxHead) return -1;
    std::string_view line = buf.substr(0, buf.find('\n'));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::size_t s1 = line.find(' ');
    if (s1 == std::string_view::npos || s1 == 0) return -1;
    std::size_t s2 = line.find(' ', s1 + 1);
    std::string_view t = line.substr(s1 + 1, s2 == std::string_view::npos ? std::string_view::npos : s2 - s1 - 1);
    if (t.empty() || t[0] != '/') return -1;
    *method = std::string(line.substr(0, s1));
    *target = std::string(t);
    *headLen = end + sep;
    return 1;
}

std::string SerializeResponse(const HttpResponse& r, bool headOnly) {
    std::string out = "HTTP/1.1 " + std::to_string(r.status) + " " + Reason(r.status) + "\r\n";
    out += "Content-Type: " + r.contentType + "\r\n";
    out += "Content-Length: " + std::to_string(r.body.size()) + "\r\n";
    out += "Cache-Control: no-cache\r\nConnection: close\r\n\r\n";
    if (!headOnly) out += r.body;
    return out;
}

void WebService::SetFault(std::string_view path, PageFault fault) {
    std::string key;
    if (!PathOf(path, &key)) return;
    if (fault == PageFault::kNone) {
        faults_.erase(key);
    } else {
        faults_[key] = fault;
    }
}

PageFault WebService::FaultOf(std::string_view target) const {
    std::string key;
    if (!PathOf(target, &key)) return PageFault::kNone;
    auto it = faults_.find(key);
    return it == faults_.end() ? PageFault::kNone : it->second;
}

HttpResponse WebService::Get(std::string_view target) {
    std::size_t q = target.find('?');
    std::string_view query = q == std::string_view::npos ? std::string_view() : target.substr(q + 1);
    std::string path;
    // Page names are not case-sensitive on the operator's server.
    std::string lower;
    if (!PercentDecode(target.substr(0, q), &path) || !PathOf(target, &lower)) {
        HttpResponse r = NotFound();
        r.status = 400;
        return r;
    }
    if (FaultOf(target) == PageFault::kNotFound) return NotFound();

    if (lower == "/cab/update.asp") return VersionList();
    if (lower.rfind("/cab/", 0) == 0) return File(std::string_view(path).substr(5));

    std::string city = HtmlEscape(QueryValue(query, "city"));
    if (lower == "/ldgg.asp")
        return Page("公告", "<marquee scrollamount=\"3\">" + city + "货运信息交易平台：欢迎使用，诚信交易，货畅其流。</marquee>");
    if (lower == "/right.asp")
        return Page("服务", "<b>" + (city.empty() ? std::string("全国") : city) +
                                "服务站</b><br>客服电话：400-000-0000<br>工作时间：8:00-20:00");
    if (lower == "/top.asp")
        return Page("Tovan", "<b>Tovan货运信息交易平台</b> 车找货 货找车");
    if (lower == "/" || lower == "/index.asp" || lower == "/default.asp")
        return Page("Tovan", "Tovan货运信息交易平台");
    return NotFound();
}

HttpResponse WebService::VersionList() {
    HttpResponse r;
    r.contentType = "text/plain; charset=gbk";
    if (haveVersions_) {
        r.body = versions_;
    } else if (root_.empty() || !ReadSmallFile(root_ + "/update.asp", &r.body)) {
        r.body = kDefaultVersionList;
    }
    return r;
}

HttpResponse WebService::File(std::string_view name) {
    if (root_.empty() || !IsSafeFileName(name)) return NotFound();
    HttpResponse r;
    r.contentType = "application/octet-stream";
    if (!ReadSmallFile(root_ + "/" + std::string(name), &r.body)) return NotFound();
    return r;
}

}  // namespace exsim
