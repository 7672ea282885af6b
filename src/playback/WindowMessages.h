#pragma once

// Custom messages of the main window (window-message numbers) and its timer ids. Shared by the
// controls that send them, the playback controller and the window, none of which needs Qt here.
namespace trivane {

inline constexpr int WM_PLAYER_ERROR = 0xC01;
inline constexpr int WM_LANGUAGE_CHANGED = 0xC02;
inline constexpr int WM_UNUSED_C03 = 0xC03;
inline constexpr int WM_TOGGLE_FULLSCREEN = 0xC04;
inline constexpr int WM_SHOW_CONTROLS = 0xC05;
inline constexpr int WM_PLAY_STATE = 0xC06;
inline constexpr int WM_PLAY_TIME = 0xC07;
inline constexpr int WM_END_REACHED = 0xC08;
inline constexpr int WM_PLAY_GROUP = 0xC09;
inline constexpr int WM_PLAY_FILE = 0xC0A;
inline constexpr int WM_MAP_PROVIDER_CHANGED = 0xC0B;
inline constexpr int WM_APPLY_VOLUME = 0xC0C;
inline constexpr int WM_SEEK_TO_SLIDER = 0xC0D;
inline constexpr int WM_UNUSED_C0E = 0xC0E;
inline constexpr int WM_MAP_HOST_READY = 0xC0F;
inline constexpr int kFirstWindowMessage = WM_PLAYER_ERROR;
inline constexpr int kLastWindowMessage = WM_MAP_HOST_READY;

inline constexpr int IDT_SHIFT_TAP = 100;
inline constexpr int IDT_MARQUEE = 102;
inline constexpr int IDT_SEEK = 103;
inline constexpr int IDT_AUTOSTART = 105;
inline constexpr int IDT_OPEN_GUARD = 106;

inline constexpr int kShiftTapPeriodMs = 800;
inline constexpr int kMarqueePeriodMs = 300;
inline constexpr int kSeekPeriodMs = 500;
inline constexpr int kAutoStartPeriodMs = 100;
inline constexpr int kOpenGuardPeriodMs = 100000;

}  // namespace trivane
