// The client's wrapper of the chat control (Vokar.ocx): every call the client
// makes into the control goes through here as an automation call by dispatch
// id; texts are GBK. It keeps no state beyond the control it is bound to.
//
//   CDVokar vokar;
//   if (!vokar.Attach(dialog.HostedControl(1096))) { ... refuse ... }
//   vokar.Bind(0);  vokar.QueryForeignAddress(serverHost);
//   dialog.HostedControl(1096)->OnEvent(CDVokar::kNotifyAddress,
//       [&](const fw::com::EventArgs& a) { OnNotifyAddress(a.Text(0), a.Long(1)); });
//
// Events are sunk by the window that hosts the control (through its
// fw::ControlHost), not here; their dispatch ids are listed below. Calls on
// an unbound wrapper do nothing and property gets give "" and 0; failures
// inside the control are reported only by its events (BindError, VoiceError).
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "fw/control_host.h"

class CDVokar {
public:
    static constexpr char kClassId[] = "{6B4602D7-8EC6-45E4-83C5-0D96D25C1C29}";

    // Event dispatch ids of the control.
    static constexpr DISPID kBindError = 1;
    static constexpr DISPID kPeerReject = 2;        // IP, Port
    static constexpr DISPID kPeerAccept = 3;        // IP, Port
    static constexpr DISPID kPeerClose = 4;         // IP, Port
    static constexpr DISPID kAddChaterTimeOut = 5;  // IP, Port
    static constexpr DISPID kNotifyAddress = 6;     // IP, Port
    static constexpr DISPID kPeerAdd = 7;           // IP, Port
    static constexpr DISPID kNewMessage = 8;        // IP, Port, msg
    static constexpr DISPID kVoiceError = 9;
    static constexpr DISPID kVoiceStart = 12;
    static constexpr DISPID kVoiceStop = 13;

    CDVokar() = default;
    ~CDVokar();
    CDVokar(const CDVokar&) = delete;
    CDVokar& operator=(const CDVokar&) = delete;

    // Binds to a control created elsewhere (a dialog's template item); false
    // when there is none. A dialog's hosted controls live as long as its
    // window: bind again in each OnInitDialog, call nothing after WM_DESTROY.
    bool Attach(fw::ControlHost* host);
    // Creates a control of its own in `parent` (the client binds template
    // items instead). Returns the failure of the creation.
    HRESULT Create(HWND parent, const RECT& rect, int id);
    fw::ControlHost* Host() const { return host_; }
    bool IsBound() const { return host_ && host_->IsCreated(); }

    void Bind(long port);
    void AddChater(const std::string& ip, long port);
    void AcceptChater(const std::string& ip, long port);
    void QueryForeignAddress(const std::string& addressServer);
    // To (ip, port), or to every peer when ip is empty and port 0.
    void SendShortMessage(const std::string& ip, long port, const std::string& msg);
    void StartVoice();
    void StopVoice();
    std::string LocalAddress() const;
    long LocalPort() const;
    void RemoveAllChaters();

private:
    void Call(DISPID id, const std::vector<fw::com::DispatchArg>& args = {});

    fw::ControlHost* host_ = nullptr;
    std::unique_ptr<fw::ControlHost> owned_;  // only after Create
};
