#pragma once

// Control ids of the main window (also the widgets' object names, as decimal text).
namespace trivane {

inline constexpr int IDC_OPEN = 1001;
inline constexpr int IDC_FRONT_SURFACE = 1002;
inline constexpr int IDC_GSENSOR = 1003;
inline constexpr int IDC_SAVE = 1005;
inline constexpr int IDC_SNAP = 1006;
inline constexpr int IDC_FRONT_PANEL = 1007;
inline constexpr int IDC_POSITION_SLIDER = 1008;
inline constexpr int IDC_REAR_PANEL = 1009;
inline constexpr int IDC_GPS_INDICATOR = 1010;
inline constexpr int IDC_REAR_SURFACE = 1011;
inline constexpr int IDC_DEL = 1013;
inline constexpr int IDC_CONF = 1014;
inline constexpr int IDC_PLAY = 1015;
inline constexpr int IDC_STOP = 1016;
inline constexpr int IDC_FAST = 1017;
inline constexpr int IDC_SLOW = 1018;
inline constexpr int IDC_VOLUME_SLIDER = 1019;
inline constexpr int IDC_LOOP = 1021;
inline constexpr int IDC_FLIP = 1022;
inline constexpr int IDC_KML = 1023;
inline constexpr int IDC_MAP = 1024;
inline constexpr int IDC_GSR = 1025;
inline constexpr int IDC_LOCK = 1026;
inline constexpr int IDC_FILE_LIST = 1027;
inline constexpr int IDC_GROUP_LIST = 1028;
inline constexpr int IDC_MINIMISE = 1044;
inline constexpr int IDC_CLOSE = 1045;
inline constexpr int IDC_VOL = 1046;
inline constexpr int IDC_LOGO = 1050;
inline constexpr int IDC_SMALL = 1052;
inline constexpr int IDC_COMPASS = 1055;
inline constexpr int IDC_SPEED = 1056;
inline constexpr int IDC_MEDIUM = 1059;
inline constexpr int IDC_L = 1060;
inline constexpr int IDC_STATUS_BOARD = 1061;
inline constexpr int IDC_IMAGE_1064 = 1064;
inline constexpr int IDC_MAXIMISE = 4;
inline constexpr int IDC_ABOUT = 57670;

// Commands that only the context menu and its shortcuts give.
inline constexpr int IDM_GPX = 32771;
inline constexpr int IDM_GROUPS = 32772;
// The player's keys.
inline constexpr int IDM_MUTE = 32773;
inline constexpr int IDM_FULL_SCREEN = 32774;
inline constexpr int IDM_LEAVE_FULL_SCREEN = 32775;
inline constexpr int IDM_SEEK_BACK = 32776;
inline constexpr int IDM_SEEK_FORWARD = 32777;
inline constexpr int IDM_FRAME_BACK = 32778;
inline constexpr int IDM_FRAME_FORWARD = 32779;
inline constexpr int IDM_NEXT_EVENT = 32780;
inline constexpr int IDM_PREVIOUS_EVENT = 32781;
inline constexpr int IDM_MARK_IN = 32782;
inline constexpr int IDM_MARK_OUT = 32783;
inline constexpr int IDM_EXPORT_CLIP = 32784;
inline constexpr int IDM_SPEED_ROUTE = 32785;

}  // namespace trivane
