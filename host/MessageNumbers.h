#pragma once
// Window and thread message numbers of the console, all WM_APP based.
// Window messages travel with host/WindowMessage.h; thread messages go to a
// CBaseThread<T> worker (core/BaseThread.h).
#include <cstdint>

inline constexpr uint32_t WM_APP = 0x8000;

// Message bus: WM_APP+100 .. WM_APP+299 (core/net/NetFacade.h).
inline constexpr uint32_t WM_NET_BUS_BASE = WM_APP + 100;
inline constexpr uint32_t WM_NET_BUS_COUNT = 200;
// The four datagram messages: wParam = length, the bytes in the message's data.
inline constexpr uint32_t WM_NET_LOGIN = WM_APP + 101;     // group 0x5001, login window
inline constexpr uint32_t WM_NET_NOTIFY = WM_APP + 102;    // group 0x5003, login window
inline constexpr uint32_t WM_NET_CALL = WM_APP + 103;      // group 0x5002, main window
inline constexpr uint32_t WM_NET_VIDEOPUSH = WM_APP + 104; // group 0x5004, main window

// Talk-burst events from the media thread to the main window.
inline constexpr uint32_t WM_TBCP_IDLE = WM_APP + 110;
inline constexpr uint32_t WM_TBCP_TAKEN = WM_APP + 111;
inline constexpr uint32_t WM_TBCP_GRANTED = WM_APP + 112;
inline constexpr uint32_t WM_TBCP_DENY = WM_APP + 113;
inline constexpr uint32_t WM_TBCP_RELEASE = WM_APP + 114;

// Dial pad and call progress to the main window.
inline constexpr uint32_t WM_DIALPAD_DIAL = WM_APP + 130;
inline constexpr uint32_t WM_CALLPROGRESS_CLOSE = WM_APP + 131;
inline constexpr uint32_t WM_CALLPROGRESS_REDIAL = WM_APP + 132;
inline constexpr uint32_t WM_CALLPROGRESS_HANGUP = WM_APP + 133;

// Requests to the worker of an RTSP session or camera check.
inline constexpr uint32_t WM_RTSP_SEND_OPTIONS = WM_APP + 601;
inline constexpr uint32_t WM_RTSP_SEND_DESCRIBE = WM_APP + 602;
inline constexpr uint32_t WM_RTSP_SEND_SETUP = WM_APP + 603;
inline constexpr uint32_t WM_RTSP_SEND_PLAY = WM_APP + 604;
inline constexpr uint32_t WM_RTSP_SEND_TEARDOWN = WM_APP + 605;
inline constexpr uint32_t WM_RTSP_REBUILD = WM_APP + 606;
inline constexpr uint32_t WM_RTSP_OPEN_AUDIO = WM_APP + 609;
// Camera reachability to the main window: wParam camera id, lParam 1 online, 0 offline.
inline constexpr uint32_t WM_CAMERA_STATE = WM_APP + 610;

// Stop handshake of every worker thread; never in a handler map.
inline constexpr uint32_t WM_BASETHREAD_QUIT = WM_APP + 650;

// Vehicle-platform worker jobs and results.
inline constexpr uint32_t WM_CMS_LOGIN = WM_APP + 660;
inline constexpr uint32_t WM_CMS_QUERY_VEHICLES = WM_APP + 662;
inline constexpr uint32_t WM_CMS_VEHICLES_READY = WM_APP + 663;
inline constexpr uint32_t WM_CMS_QUERY_STATUS = WM_APP + 664;
inline constexpr uint32_t WM_CMS_STATUS_READY = WM_APP + 664;

// User-platform worker jobs and result.
inline constexpr uint32_t WM_UAP_LOGIN = WM_APP + 670;
inline constexpr uint32_t WM_UAP_FETCH_USERS = WM_APP + 672;
inline constexpr uint32_t WM_UAP_USERS_READY = WM_APP + 673;
