// Identities of the chat control: class ids, type library, interfaces, and
// the dispatch ids of its members and events (they match Vokar.idl; the
// host calls and sinks by these numbers).
#pragma once

#include <windows.h>

namespace vokar {

// {6B4602D7-8EC6-45E4-83C5-0D96D25C1C29}
constexpr CLSID kClsidVoice = {0x6B4602D7, 0x8EC6, 0x45E4, {0x83, 0xC5, 0x0D, 0x96, 0xD2, 0x5C, 0x1C, 0x29}};
// {2A42C8C7-6D34-49A4-AC7F-38A6A2394A5C}
constexpr CLSID kClsidPropPage = {0x2A42C8C7, 0x6D34, 0x49A4, {0xAC, 0x7F, 0x38, 0xA6, 0xA2, 0x39, 0x4A, 0x5C}};
// {71C3408A-C398-4154-A252-4383F3682575}
constexpr GUID kLibid = {0x71C3408A, 0xC398, 0x4154, {0xA2, 0x52, 0x43, 0x83, 0xF3, 0x68, 0x25, 0x75}};
// {EE1FAF32-EFE1-46AC-9E94-84758E6B168C}
constexpr IID kDiidDVokar = {0xEE1FAF32, 0xEFE1, 0x46AC, {0x9E, 0x94, 0x84, 0x75, 0x8E, 0x6B, 0x16, 0x8C}};
// {60AA88EE-7FFB-4EE1-8E81-29E9EDF3AFDA}
constexpr IID kDiidDVokarEvents = {0x60AA88EE, 0x7FFB, 0x4EE1, {0x8E, 0x81, 0x29, 0xE9, 0xED, 0xF3, 0xAF, 0xDA}};

constexpr char kProgId[] = "VOKAR.Voice";
constexpr char kPropPageProgId[] = "VOKAR.VokarPropPage.1";
constexpr DWORD kMiscStatus = 0x20191;  // activate when visible, site first, inside-out, no links, recompose
constexpr DWORD kPersistVersion = 0x00010000;

namespace dispid {
constexpr DISPID AboutBox = -552;
constexpr DISPID Bind = 1;
constexpr DISPID Init = 2;  // callable, not described in the type library
constexpr DISPID AddChater = 3;
constexpr DISPID AcceptChater = 4;
constexpr DISPID RemoveChater = 5;
constexpr DISPID QueryForeignAddress = 6;
constexpr DISPID RejectChater = 7;
constexpr DISPID SendShortMessage = 8;
constexpr DISPID StartVoice = 9;
constexpr DISPID StopVoice = 10;
constexpr DISPID LocalAddress = 11;
constexpr DISPID LocalPort = 12;
constexpr DISPID VoiceOn = 13;
constexpr DISPID SetServerAddress = 17;
constexpr DISPID QueryServer = 18;
constexpr DISPID SetVolume = 19;
constexpr DISPID VolumeLeft = 20;
constexpr DISPID VolumeRight = 21;
constexpr DISPID RecordVolume = 22;
constexpr DISPID RemoveAllChaters = 23;
}  // namespace dispid

namespace event {
constexpr DISPID BindError = 1;
constexpr DISPID PeerReject = 2;
constexpr DISPID PeerAccept = 3;
constexpr DISPID PeerClose = 4;
constexpr DISPID AddChaterTimeOut = 5;
constexpr DISPID NotifyAddress = 6;
constexpr DISPID PeerAdd = 7;
constexpr DISPID NewMessage = 8;
constexpr DISPID VoiceError = 9;
constexpr DISPID VoiceSend = 10;
constexpr DISPID VoiceReceive = 11;
constexpr DISPID VoiceStart = 12;
constexpr DISPID VoiceStop = 13;
constexpr DISPID NotifyServerAddress = 15;
constexpr DISPID InitSuccess = 16;
}  // namespace event

// Resources of Vokar.ocx.
constexpr int kIdsControlName = 1;     // "Vokar Control"
constexpr int kIdsPropPageName = 2;    // "Vokar Property Page"
constexpr int kIdsPropPageCaption = 200;
constexpr int kIddAbout = 1;
constexpr int kIddPropPage = 200;
constexpr int kIdbToolbox = 1;
constexpr int kIdiControl = 1;

HINSTANCE Module();

}  // namespace vokar
