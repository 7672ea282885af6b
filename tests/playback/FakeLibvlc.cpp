// A stand-in for libVLC that records every call as one text line, so tests can check which
// calls the binding makes and in which order. Built twice: complete, and (TRIVANE_FAKE_PARTIAL)
// without the marquee, rate and snapshot entry points.
#include <vlc/vlc.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string g_log;
bool g_failNew = false;
int g_rateResult = 0;
int g_handleCounter = 0;
std::vector<std::pair<int, libvlc_callback_t>> g_listeners;
void* g_listenerData = nullptr;
char g_handles[64];

void Log(const std::string& line)
{
    g_log += line;
    g_log += '\n';
}

template <typename T>
T* NextHandle()
{
    g_handleCounter = (g_handleCounter + 1) % 64;
    return reinterpret_cast<T*>(&g_handles[g_handleCounter]);
}

}  // namespace

extern "C" {

// Test controls.
__attribute__((visibility("default"))) const char* fake_vlc_log() { return g_log.c_str(); }
__attribute__((visibility("default"))) void fake_vlc_clear() { g_log.clear(); }
__attribute__((visibility("default"))) void fake_vlc_fail_new(int fail) { g_failNew = fail != 0; }
__attribute__((visibility("default"))) void fake_vlc_rate_result(int result) { g_rateResult = result; }
__attribute__((visibility("default"))) void fake_vlc_fire(int type, long long value)
{
    libvlc_event_t event;
    std::memset(&event, 0, sizeof event);
    event.type = type;
    if (type == libvlc_MediaPlayerTimeChanged) {
        event.u.media_player_time_changed.new_time = value;
    } else if (type == libvlc_MediaPlayerLengthChanged) {
        event.u.media_player_length_changed.new_length = value;
    } else if (type == libvlc_MediaPlayerSeekableChanged) {
        event.u.media_player_seekable_changed.new_seekable = static_cast<int>(value);
    }
    for (const auto& [listenedType, callback] : g_listeners) {
        if (listenedType == type) {
            callback(&event, g_listenerData);
        }
    }
}

libvlc_instance_t* libvlc_new(int argc, const char* const* argv)
{
    std::string line = "new " + std::to_string(argc);
    for (int i = 0; i < argc; ++i) {
        line += " [" + std::string(argv[i]) + "]";
    }
    Log(line);
    return g_failNew ? nullptr : NextHandle<libvlc_instance_t>();
}
void libvlc_release(libvlc_instance_t*) { Log("release"); }
libvlc_media_player_t* libvlc_media_player_new(libvlc_instance_t*)
{
    Log("player_new");
    return NextHandle<libvlc_media_player_t>();
}
void libvlc_media_player_release(libvlc_media_player_t*) { Log("player_release"); }
libvlc_event_manager_t* libvlc_media_player_event_manager(libvlc_media_player_t*)
{
    Log("event_manager");
    return NextHandle<libvlc_event_manager_t>();
}
int libvlc_event_attach(libvlc_event_manager_t*, libvlc_event_type_t type, libvlc_callback_t callback, void* data)
{
    Log("attach " + std::to_string(type));
    g_listeners.emplace_back(type, callback);
    g_listenerData = data;
    return 0;
}
void libvlc_event_detach(libvlc_event_manager_t*, libvlc_event_type_t type, libvlc_callback_t callback, void*)
{
    Log("detach " + std::to_string(type));
    for (auto it = g_listeners.begin(); it != g_listeners.end(); ++it) {
        if (it->first == type && it->second == callback) {
            g_listeners.erase(it);
            break;
        }
    }
}
void libvlc_media_player_set_xwindow(libvlc_media_player_t*, uint32_t drawable)
{
    Log("set_xwindow " + std::to_string(drawable));
}
void libvlc_video_set_callbacks(libvlc_media_player_t*, libvlc_video_lock_cb, libvlc_video_unlock_cb,
                                libvlc_video_display_cb, void*)
{
    Log("video_callbacks");
}
void libvlc_video_set_format_callbacks(libvlc_media_player_t*, libvlc_video_format_cb, libvlc_video_cleanup_cb)
{
    Log("format_callbacks");
}
int libvlc_audio_output_set(libvlc_media_player_t*, const char* name)
{
    Log("audio_output " + std::string(name));
    return 0;
}
libvlc_media_t* libvlc_media_new_path(libvlc_instance_t*, const char* path)
{
    Log("media_new_path [" + std::string(path) + "]");
    return NextHandle<libvlc_media_t>();
}
void libvlc_media_add_option(libvlc_media_t*, const char* option) { Log("add_option " + std::string(option)); }
void libvlc_media_release(libvlc_media_t*) { Log("media_release"); }
void libvlc_media_player_set_media(libvlc_media_player_t*, libvlc_media_t* media)
{
    Log(media ? "set_media" : "set_media null");
}
void libvlc_video_set_key_input(libvlc_media_player_t*, unsigned on) { Log("key_input " + std::to_string(on)); }
void libvlc_video_set_mouse_input(libvlc_media_player_t*, unsigned on)
{
    Log("mouse_input " + std::to_string(on));
}
int libvlc_media_player_play(libvlc_media_player_t*)
{
    Log("play");
    return 0;
}
void libvlc_media_player_pause(libvlc_media_player_t*) { Log("pause"); }
void libvlc_media_player_stop(libvlc_media_player_t*) { Log("stop"); }
libvlc_time_t libvlc_media_player_get_length(libvlc_media_player_t*) { return 5000; }
libvlc_time_t libvlc_media_player_get_time(libvlc_media_player_t*) { return 1234; }
void libvlc_media_player_set_time(libvlc_media_player_t*, libvlc_time_t t) { Log("set_time " + std::to_string(t)); }
void libvlc_audio_set_mute(libvlc_media_player_t*, int mute) { Log("mute " + std::to_string(mute)); }
int libvlc_audio_set_volume(libvlc_media_player_t*, int volume)
{
    Log("volume " + std::to_string(volume));
    return 0;
}

#ifndef TRIVANE_FAKE_PARTIAL
int libvlc_media_player_set_rate(libvlc_media_player_t*, float rate)
{
    char text[32];
    std::snprintf(text, sizeof text, "set_rate %.2f", static_cast<double>(rate));
    Log(text);
    return g_rateResult;
}
int libvlc_video_take_snapshot(libvlc_media_player_t*, unsigned num, const char* path, unsigned width,
                               unsigned height)
{
    Log("snapshot " + std::to_string(num) + " [" + path + "] " + std::to_string(width) + " " +
        std::to_string(height));
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        return -1;
    }
    std::fputs("\x89PNG fake", file);
    std::fclose(file);
    return 0;
}
void libvlc_video_set_marquee_string(libvlc_media_player_t*, unsigned option, const char* text)
{
    Log("marquee_string " + std::to_string(option) + " [" + text + "]");
}
void libvlc_video_set_marquee_int(libvlc_media_player_t*, unsigned option, int value)
{
    Log("marquee_int " + std::to_string(option) + " " + std::to_string(value));
}
#endif

}  // extern "C"
