#include "fw/dispatch_args.h"

#include "fw/dispatch_call.h"

namespace fw::com {

DispatchParams::DispatchParams(const std::vector<DispatchArg>& args) : values_(args.size()) {
    for (size_t i = 0; i < args.size(); ++i) {
        VARIANT& v = values_[args.size() - 1 - i];
        VariantInit(&v);
        switch (args[i].kind) {
        case DispatchArg::Kind::Number:
            V_VT(&v) = VT_I4;
            V_I4(&v) = args[i].number;
            break;
        case DispatchArg::Kind::Text:
            V_VT(&v) = VT_BSTR;
            V_BSTR(&v) = ToBstr(args[i].text);
            break;
        case DispatchArg::Kind::Missing:
            break;
        }
    }
    params_.rgvarg = values_.empty() ? nullptr : values_.data();
    params_.cArgs = static_cast<UINT>(values_.size());
}

DispatchParams::~DispatchParams() {
    for (VARIANT& v : values_) VariantClear(&v);
}

}  // namespace fw::com
