// The operator's web service as the simulator plays it: the updater's version
// list and files under "/cab/", and plain pages for the client's web panes.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace exsim {

struct HttpResponse {
    int status = 200;
    std::string contentType = "text/html; charset=gbk";
    std::string body;
};

// How a page may be made to fail, for tests of a client that must not hang on it.
enum class PageFault { kNone, kNotFound, kNoAnswer };

class WebService {
public:
    // webRoot: folder with the downloadable files and, optionally, update.asp
    // (the version list); empty for the built-in list and no files.
    explicit WebService(std::string webRoot) : root_(std::move(webRoot)) {}

    // Answers a GET of target (path and query as sent).
    HttpResponse Get(std::string_view target);

    // Replaces the version list for the rest of the run.
    void SetVersions(std::string list) { versions_ = std::move(list); haveVersions_ = true; }

    // From now on `path` (no query; not case-sensitive) fails so; kNone heals it.
    void SetFault(std::string_view path, PageFault fault);
    // The fault set for the path of a request target.
    PageFault FaultOf(std::string_view target) const;

    const std::vector<std::string>& log() const { return log_; }
    void Log(std::string line) { log_.push_back(std::move(line)); }

private:
    HttpResponse VersionList();
    HttpResponse File(std::string_view name);

    std::string root_;
    std::string versions_;
    bool haveVersions_ = false;
    std::map<std::string, PageFault> faults_;  // by lower-case decoded path
    std::vector<std::string> log_;
};

// The version list served when nothing else is given: every component at
// version 1, which is what an installation without update.ini entries has.
extern const char* const kDefaultVersionList;

// A file name taken from a request may name only a file directly in the web
// root: not empty, no "..", "/", "\\" or NUL.
bool IsSafeFileName(std::string_view name);

// %XX decoding ("+" stays); false on a malformed escape.
bool PercentDecode(std::string_view in, std::string* out);

// Reads a request head. Returns 1 with method and target when the head is
// complete (headLen = its length with the blank line), 0 when more bytes are
// needed, -1 when it is malformed or longer than maxHead.
int ParseRequestHead(std::string_view buf, std::size_t maxHead, std::string* method, std::string* target,
                     std::size_t* headLen);

std::string SerializeResponse(const HttpResponse& r, bool headOnly);

}  // namespace exsim
