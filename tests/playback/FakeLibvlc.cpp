// A stand-in for libVLC that records every call as one text line, so tests can check which
// calls the binding makes and in which order. Built twice: complete, and (TRIVANE_FAKE_PARTIAL)
// without the marquee, rate and snapshot entry points. As in libVLC, listeners are called with
// the listener lock held, and events and pictures can come from a thread of the library's own.
#include <vlc/vlc.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace {

struct Listener {
    int type;
    libvlc_callback_t callback;
    void* data;
};

struct VideoCallbacks {
    libvlc_video_lock_cb lock = nullptr;
    libvlc_video_unlock_cb unlock = nullptr;
    libvlc_video_display_cb display = nullptr;
    libvlc_video_format_cb format = nullptr;
    void* opaque = nullptr;
};

std::mutex g_logMutex;
std::string g_log;
bool g_failNew = false;
int g_rateResult = 0;
int g_snapshotMode = 0;
int g_handleCounter = 0;
std::mutex g_listenersMutex;
std::vector<Listener> g_listeners;
std::mutex g_videoMutex;
VideoCallbacks g_video;
std::thread g_eventThread;
std::thread g_pictureThread;
std::atomic<bool> g_keepFiring{false};
std::atomic<long long> g_fired{0};
char g_handles[64];

void Log(const std::string& line)
{
    std::lock_guard lock(g_logMutex);
    g_log += line;
    g_log += '\n';
}

void Fire(int type, long long value)
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
    std::lock_guard lock(g_listenersMutex);
    for (const Listener& listener : g_listeners) {
        if (listener.type == type) {
            listener.callback(&event, listener.data);
        }
    }
}

VideoCallbacks CurrentVideo()
{
    std::lock_guard lock(g_videoMutex);
    return g_video;
}

// What a playing player's threads do: time events from one, pictures from another.
void FireEvents()
{
    long long time = 0;
    while (g_keepFiring.load()) {
        Fire(libvlc_MediaPlayerTimeChanged, time += 40);
        ++g_fired;
    }
}

void ShowPictures()
{
    while (g_keepFiring.load()) {
        const VideoCallbacks video = CurrentVideo();
        if (video.lock != nullptr && video.display != nullptr) {
            void* planes[1] = {nullptr};
            void* picture = video.lock(video.opaque, planes);
            if (video.unlock != nullptr) {
                video.unlock(video.opaque, picture, planes);
            }
            video.display(video.opaque, picture);
        }
        ++g_fired;
    }
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
__attribute__((visibility("default"))) void fake_vlc_clear()
{
    std::lock_guard lock(g_logMutex);
    g_log.clear();
}
__attribute__((visibility("default"))) void fake_vlc_fail_new(int fail) { g_failNew = fail != 0; }
__attribute__((visibility("default"))) void fake_vlc_rate_result(int result) { g_rateResult = result; }
__attribute__((visibility("default"))) void fake_vlc_fire(int type, long long value) { Fire(type, value); }
// 0: the snapshot is a whole PNG; 1: success reported, nothing written; 2: success reported,
// the PNG cut short; 3: failure reported.
__attribute__((visibility("default"))) void fake_vlc_snapshot_mode(int mode) { g_snapshotMode = mode; }
// Asks for a picture format as a starting video output does; returns the binding's answer.
__attribute__((visibility("default"))) unsigned fake_vlc_call_format(unsigned width, unsigned height)
{
    VideoCallbacks video = CurrentVideo();
    if (video.format == nullptr) {
        return 0;
    }
    char chroma[5] = "I420";
    unsigned pitches[3] = {};
    unsigned lines[3] = {};
    const unsigned result = video.format(&video.opaque, chroma, &width, &height, pitches, lines);
    std::lock_guard lock(g_videoMutex);
    g_video.opaque = video.opaque;
    return result;
}
__attribute__((visibility("default"))) void fake_vlc_start_firing()
{
    g_fired = 0;
    g_keepFiring = true;
    g_eventThread = std::thread(FireEvents);
    g_pictureThread = std::thread(ShowPictures);
}
__attribute__((visibility("default"))) long long fake_vlc_fired() { return g_fired.load(); }
__attribute__((visibility("default"))) long long fake_vlc_stop_firing()
{
    g_keepFiring = false;
    for (std::thread* thread : {&g_eventThread, &g_pictureThread}) {
        if (thread->joinable()) {
            thread->join();
        }
    }
    return g_fired.load();
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
void libvlc_media_player_release(libvlc_media_player_t*)
{
    Log("player_release");
    std::lock_guard lock(g_videoMutex);
    g_video = VideoCallbacks();
}
libvlc_event_manager_t* libvlc_media_player_event_manager(libvlc_media_player_t*)
{
    Log("event_manager");
    return NextHandle<libvlc_event_manager_t>();
}
int libvlc_event_attach(libvlc_event_manager_t*, libvlc_event_type_t type, libvlc_callback_t callback, void* data)
{
    Log("attach " + std::to_string(type));
    std::lock_guard lock(g_listenersMutex);
    g_listeners.push_back({type, callback, data});
    return 0;
}
void libvlc_event_detach(libvlc_event_manager_t*, libvlc_event_type_t type, libvlc_callback_t callback, void* data)
{
    Log("detach " + std::to_string(type));
    std::lock_guard lock(g_listenersMutex);
    for (auto it = g_listeners.begin(); it != g_listeners.end(); ++it) {
        if (it->type == type && it->callback == callback && it->data == data) {
            g_listeners.erase(it);
            break;
        }
    }
}
void libvlc_media_player_set_xwindow(libvlc_media_player_t*, uint32_t drawable)
{
    Log("set_xwindow " + std::to_string(drawable));
}
void libvlc_video_set_callbacks(libvlc_media_player_t*, libvlc_video_lock_cb lock, libvlc_video_unlock_cb unlock,
                                libvlc_video_display_cb display, void* opaque)
{
    Log("video_callbacks");
    std::lock_guard guard(g_videoMutex);
    std::tie(g_video.lock, g_video.unlock, g_video.display, g_video.opaque) = std::tie(lock, unlock, display, opaque);
}
void libvlc_video_set_format_callbacks(libvlc_media_player_t*, libvlc_video_format_cb format, libvlc_video_cleanup_cb)
{
    Log("format_callbacks");
    std::lock_guard guard(g_videoMutex);
    g_video.format = format;
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
void libvlc_media_player_set_pause(libvlc_media_player_t*, int paused) { Log("set_pause " + std::to_string(paused)); }
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
    if (g_snapshotMode == 1) {
        return 0;
    }
    if (g_snapshotMode == 3) {
        return -1;
    }
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        return 0;  // as libVLC: the player had a picture, so the call succeeded
    }
    static const char kPng[] = "\x89PNG\r\n\x1a\n fake picture \0\0\0\0IEND\xae\x42\x60\x82";
    const std::size_t size = g_snapshotMode == 2 ? 20 : sizeof kPng - 1;
    std::fwrite(kPng, 1, size, file);
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
void libvlc_media_player_next_frame(libvlc_media_player_t*) { Log("next_frame"); }
// An audio track, then a 29.97 fps video track.
unsigned libvlc_media_tracks_get(libvlc_media_t*, libvlc_media_track_t*** tracks)
{
    static libvlc_audio_track_t audio{};
    static libvlc_video_track_t video{};
    static libvlc_media_track_t list[2]{};
    static libvlc_media_track_t* pointers[2]{&list[0], &list[1]};
    audio.i_channels = 2;
    video.i_frame_rate_num = 30000;
    video.i_frame_rate_den = 1001;
    list[0].i_type = libvlc_track_audio;
    list[0].audio = &audio;
    list[1].i_type = libvlc_track_video;
    list[1].video = &video;
    *tracks = pointers;
    return 2;
}
void libvlc_media_tracks_release(libvlc_media_track_t**, unsigned) {}
#endif

}  // extern "C"
