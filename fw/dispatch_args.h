// Arguments of an automation call, outgoing or fired as an event: a long, a
// text of the system code page (a BSTR on the wire) or a left-out optional
// argument. DispatchParams turns a list of them into the DISPPARAMS that
// IDispatch::Invoke takes (last argument first) and frees them afterwards:
//
//   fw::com::DispatchParams params({"127.0.0.1", 4000L});
//   dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, params.Get(), ...);
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

namespace fw::com {

struct DispatchArg {
    enum class Kind { Number, Text, Missing };

    DispatchArg(LONG v) : kind(Kind::Number), number(v) {}
    DispatchArg(int v) : kind(Kind::Number), number(v) {}
    DispatchArg(const std::string& v) : kind(Kind::Text), text(v) {}
    DispatchArg(const char* v) : kind(Kind::Text), text(v ? v : "") {}
    // An optional argument the caller leaves out (an empty VARIANT).
    static DispatchArg Missing() { return DispatchArg(); }

    Kind kind;
    LONG number = 0;
    std::string text;

private:
    DispatchArg() : kind(Kind::Missing) {}
};

class DispatchParams {
public:
    explicit DispatchParams(const std::vector<DispatchArg>& args);
    ~DispatchParams();
    DispatchParams(const DispatchParams&) = delete;
    DispatchParams& operator=(const DispatchParams&) = delete;

    DISPPARAMS* Get() { return &params_; }

private:
    std::vector<VARIANT> values_;
    DISPPARAMS params_ = {};
};

}  // namespace fw::com
