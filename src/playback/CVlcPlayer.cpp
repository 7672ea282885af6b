#include "playback/CVlcPlayer.h"

#include <vlc/vlc.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace trivane {

// Entry points, resolved once when the library is loaded. A null member is a missing export
// and is never called. The prototypes come from libVLC's header; the symbols never get linked.
struct VlcApi {
#define TRIVANE_VLC_ENTRY(name) decltype(&::name) name = nullptr;
#define TRIVANE_VLC_ENTRIES(X)                  \
    X(libvlc_new)                               \
    X(libvlc_release)                           \
    X(libvlc_media_player_new)                  \
    X(libvlc_media_player_release)              \
    X(libvlc_media_player_event_manager)        \
    X(libvlc_event_attach)                      \
    X(libvlc_event_detach)                      \
    X(libvlc_media_player_set_xwindow)          \
    X(libvlc_video_set_callbacks)               \
    X(libvlc_video_set_format_callbacks)        \
    X(libvlc_audio_output_set)                  \
    X(libvlc_media_new_path)                    \
    X(libvlc_media_add_option)                  \
    X(libvlc_media_release)                     \
    X(libvlc_media_player_set_media)            \
    X(libvlc_video_set_key_input)               \
    X(libvlc_video_set_mouse_input)             \
    X(libvlc_media_player_play)                 \
    X(libvlc_media_player_pause)                \
    X(libvlc_media_player_set_pause)            \
    X(libvlc_media_player_stop)                 \
    X(libvlc_media_player_next_frame)           \
    X(libvlc_media_player_get_length)           \
    X(libvlc_media_player_get_time)             \
    X(libvlc_media_player_set_time)             \
    X(libvlc_media_player_set_rate)             \
    X(libvlc_media_tracks_get)                  \
    X(libvlc_media_tracks_release)              \
    X(libvlc_audio_set_volume)                  \
    X(libvlc_audio_set_mute)                    \
    X(libvlc_video_take_snapshot)               \
    X(libvlc_video_set_marquee_string)          \
    X(libvlc_video_set_marquee_int)
    TRIVANE_VLC_ENTRIES(TRIVANE_VLC_ENTRY)
#undef TRIVANE_VLC_ENTRY

    void Resolve(void* module)
    {
#define TRIVANE_VLC_RESOLVE(name) name = reinterpret_cast<decltype(name)>(dlsym(module, #name));
        TRIVANE_VLC_ENTRIES(TRIVANE_VLC_RESOLVE)
#undef TRIVANE_VLC_RESOLVE
    }

    // Without these the channel cannot be built or torn down.
    bool HasCore() const
    {
        return libvlc_new && libvlc_release && libvlc_media_player_new && libvlc_media_player_release;
    }
#undef TRIVANE_VLC_ENTRIES
};

// Memory rendering: libVLC asks for a format, then locks and displays pictures in one buffer.
// All of it runs on the video output thread of the one player that owns the bridge, except the
// sink swap, which the window thread makes under sinkMutex (held there for nothing else).
// These are called from C: they never throw.
struct VlcFrameBridge {
    std::mutex sinkMutex;
    IVideoFrameSink* sink = nullptr;
    std::vector<std::uint8_t> buffer;
    unsigned width = 0;
    unsigned height = 0;
    unsigned pitch = 0;

    static constexpr unsigned kMaxSide = 8192;

    // Returns the number of picture buffers, 0 to refuse the format (libVLC then shows nothing).
    static unsigned Format(void** opaque, char* chroma, unsigned* w, unsigned* h, unsigned* pitches,
                           unsigned* lines) noexcept
    {
        auto* self = static_cast<VlcFrameBridge*>(*opaque);
        self->width = self->height = self->pitch = 0;
        if (*w == 0 || *h == 0 || *w > kMaxSide || *h > kMaxSide) {
            return 0;
        }
        try {
            self->buffer.assign(static_cast<std::size_t>(*w) * 4 * *h, 0);
        } catch (...) {
            std::vector<std::uint8_t>().swap(self->buffer);
            return 0;
        }
        std::memcpy(chroma, "RV32", 4);
        self->width = *w;
        self->height = *h;
        self->pitch = *w * 4;
        pitches[0] = self->pitch;
        lines[0] = *h;
        return 1;
    }

    static void Cleanup(void* /*opaque*/) noexcept {}

    static void* Lock(void* opaque, void** planes) noexcept
    {
        auto* self = static_cast<VlcFrameBridge*>(opaque);
        planes[0] = self->buffer.data();
        return nullptr;
    }

    static void Unlock(void* /*opaque*/, void* /*picture*/, void* const* /*planes*/) noexcept {}

    static void Display(void* opaque, void* /*picture*/) noexcept
    {
        auto* self = static_cast<VlcFrameBridge*>(opaque);
        try {
            std::lock_guard lock(self->sinkMutex);
            if (self->sink != nullptr) {
                self->sink->OnVideoFrame(self->buffer.data(), self->width, self->height, self->pitch);
            }
        } catch (...) {
            // The picture is dropped.
        }
    }
};

namespace {

// The twelve player events, in subscription order.
constexpr std::array<int, 12> kSubscribedEvents = {
    libvlc_MediaPlayerPositionChanged, libvlc_MediaPlayerSeekableChanged, libvlc_MediaPlayerTimeChanged,
    libvlc_MediaStateChanged,          libvlc_MediaPlayerMediaChanged,    libvlc_MediaPlayerOpening,
    libvlc_MediaPlayerBuffering,       libvlc_MediaPlayerPlaying,         libvlc_MediaPlayerPaused,
    libvlc_MediaPlayerStopped,         libvlc_MediaPlayerEndReached,      libvlc_MediaPlayerEncounteredError,
};

// Followed privately so that events can carry the length without a libVLC call.
constexpr int kLengthEvent = libvlc_MediaPlayerLengthChanged;

// Without a display and without memory rendering libVLC falls back to a terminal video
// output, which crashes the process.
bool DisplayAvailable()
{
    const char* display = std::getenv("DISPLAY");
    return display != nullptr && display[0] != '\0';
}

bool HasJpegExtension(const std::string& path)
{
    const std::size_t dot = path.find_last_of('.');
    const std::size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return false;
    }
    std::string ext = path.substr(dot + 1);
    for (char& c : ext) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return ext == "jpg" || ext == "jpeg";
}

// The process's file creation mask, read without changing it (other threads may create files).
mode_t CurrentUmask()
{
    if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[128];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status) != nullptr) {
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        }
        std::fclose(status);
        if (found) {
            return static_cast<mode_t>(mask & 0777u);
        }
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

// A new, empty file with an unguessable hidden name in the target's folder, for libVLC to
// write the picture into; empty when the folder does not take it. Created exclusively, so no
// one can have put a link there to redirect the write, and on the target's file system, so it
// can be renamed into place. libVLC expands '%' and '$' sequences in the path it is given;
// the name part is kept free of them.
std::string MakeSnapshotTemporary(const std::string& target)
{
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    if (name.empty()) {
        return {};
    }
    name.resize(std::min<std::size_t>(name.size(), 200));
    std::replace_if(name.begin(), name.end(), [](char c) { return c == '%' || c == '$'; }, '_');
    constexpr int kSuffixLength = 4;  // ".png"
    const std::string pattern = folder + "." + name + ".XXXXXX.png";
    std::vector<char> path(pattern.begin(), pattern.end());
    path.push_back('\0');
    const int fd = ::mkostemps(path.data(), kSuffixLength, O_CLOEXEC);
    if (fd < 0) {
        return {};
    }
    // mkostemps makes the file private; the picture gets the mode any new file would get.
    const bool moded = ::fchmod(fd, 0666 & ~CurrentUmask()) == 0;
    if (::close(fd) != 0 || !moded) {
        ::unlink(path.data());
        return {};
    }
    return path.data();
}

// A PNG as libVLC writes it: the signature first, the end chunk last. A file cut short (disk
// full; libVLC does not check its writes) or never written fails.
bool HoldsWholePng(const std::string& path)
{
    static constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
    static constexpr char kEnd[] = "\0\0\0\0IEND\xae\x42\x60\x82";
    std::FILE* file = std::fopen(path.c_str(), "rbe");
    if (file == nullptr) {
        return false;
    }
    char head[sizeof kSignature - 1] = {};
    char tail[sizeof kEnd - 1] = {};
    const bool whole = std::fread(head, sizeof head, 1, file) == 1 &&
                       std::fseek(file, -static_cast<long>(sizeof tail), SEEK_END) == 0 &&
                       std::fread(tail, sizeof tail, 1, file) == 1 &&
                       std::memcmp(head, kSignature, sizeof head) == 0 && std::memcmp(tail, kEnd, sizeof tail) == 0;
    std::fclose(file);
    return whole;
}

}  // namespace

CVlcPlayer::CVlcPlayer() : api_(std::make_unique<VlcApi>()), frames_(std::make_unique<VlcFrameBridge>())
{
    Load(kDefaultLibrary, kFallbackLibrary, true);
}

CVlcPlayer::CVlcPlayer(const std::string& libraryName, bool keepPluginsLoaded)
    : api_(std::make_unique<VlcApi>()), frames_(std::make_unique<VlcFrameBridge>())
{
    Load(libraryName, std::string(), keepPluginsLoaded);
}

void CVlcPlayer::Load(const std::string& first, const std::string& fallback, bool keepPluginsLoaded)
{
    std::string name = first;
    module_ = dlopen(first.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module_ == nullptr && !fallback.empty()) {
        name = fallback;
        module_ = dlopen(fallback.c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    if (module_ == nullptr) {
        loaded_ = 0;
        return;
    }
    api_->Resolve(module_);
    if (!api_->HasCore()) {
        loaded_ = 0;
        return;
    }
    if (keepPluginsLoaded) {
        KeepPluginsLoaded(name);
    }
    if (!BuildPlayer()) {
        loaded_ = 0;
    }
}

// libVLC unloads its plug-ins when its last instance is released and loads them again with
// the next one. glibc does not reclaim the static TLS of libraries unloaded that way (the
// codec plug-in pulls in libgomp), so after about seven cycles in one process the H.264
// decoder can no longer be loaded and pictures stop. One instance held for the life of the
// process keeps the plug-ins loaded; the library reference it needs is never closed either.
void CVlcPlayer::KeepPluginsLoaded(const std::string& loadedName)
{
    static std::once_flag once;
    std::call_once(once, [this, &loadedName] {
        void* pinned = dlopen(loadedName.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (pinned == nullptr) {
            return;
        }
        static const char* const kKeeperArgs[] = {"--ignore-config", "-I", "dummy"};
        // Held where leak checkers look, since it is kept on purpose.
        static libvlc_instance_t* kept = nullptr;
        kept = api_->libvlc_new(3, kKeeperArgs);
        if (kept == nullptr) {
            dlclose(pinned);
        }
    });
}

bool CVlcPlayer::BuildPlayer()
{
    // Plug-ins come from the system's libVLC folder: nothing here may point libVLC at a path
    // derived from the working folder, which may be a card full of someone else's files.
    static const char* const kStandard[] = {"-I", "dummy", "--ignore-config", "--gl=none", "--gles2=none"};
    static const char* const kAlternate[] = {"", "--gl=none", "--gles2=none"};
    // Without an OpenGL provider libVLC's OpenGL outputs fail to open and the next output
    // (XVideo, then plain X11) takes the window.
    const int withoutGl = openGlVideo_ ? 0 : 2;
    if (argumentSet_ == 1) {
        instance_ = api_->libvlc_new(1 + withoutGl, kAlternate);
    } else {
        instance_ = api_->libvlc_new(3 + withoutGl, kStandard);
    }
    if (instance_ == nullptr) {
        return false;
    }
    player_ = api_->libvlc_media_player_new(instance_);
    if (player_ == nullptr) {
        api_->libvlc_release(instance_);
        instance_ = nullptr;
        return false;
    }
    if (api_->libvlc_media_player_event_manager) {
        eventManager_ = api_->libvlc_media_player_event_manager(player_);
    }
    if (api_->libvlc_audio_set_volume) {
        api_->libvlc_audio_set_volume(player_, volume_);
    }
    // A rebuilt player keeps the chosen output (without a sound server the default one floods
    // the terminal).
    if (!audioOutput_.empty() && api_->libvlc_audio_output_set) {
        api_->libvlc_audio_output_set(player_, audioOutput_.c_str());
    }
    return true;
}

// Order matters: stop first (its Stopped event is still delivered), then no more callbacks,
// then the handles.
void CVlcPlayer::ReleasePlayer()
{
    if (player_ != nullptr && api_->libvlc_media_player_stop) {
        api_->libvlc_media_player_stop(player_);
    }
    Unsubscribe();
    if (player_ != nullptr) {
        api_->libvlc_media_player_release(player_);
        player_ = nullptr;
    }
    eventManager_ = nullptr;
    if (media_ != nullptr && api_->libvlc_media_release) {
        api_->libvlc_media_release(media_);
    }
    media_ = nullptr;
    if (instance_ != nullptr) {
        api_->libvlc_release(instance_);
        instance_ = nullptr;
    }
    lengthMs_ = -1;
    frameSinkSet_ = false;
}

CVlcPlayer::~CVlcPlayer()
{
    if (loaded_ != 0) {
        ReleasePlayer();
    }
    if (module_ != nullptr) {
        dlclose(module_);
    }
}

// A new instance and player, subscribed to the sink the old one had. Without them the channel
// turns inert.
bool CVlcPlayer::Rebuild()
{
    ReleasePlayer();
    if (!BuildPlayer()) {
        loaded_ = 0;
        return false;
    }
    bool hasSink = false;
    {
        std::lock_guard lock(sinkMutex_);
        hasSink = sink_ != nullptr;
    }
    if (hasSink) {
        Subscribe();
    }
    return true;
}

int CVlcPlayer::Recreate(int argumentSet)
{
    argumentSet_ = argumentSet;
    if (loaded_ == 0 || media_ == nullptr) {
        return 0;
    }
    if (!Rebuild()) {
        return 0;
    }
    if (api_->libvlc_audio_set_volume) {
        api_->libvlc_audio_set_volume(player_, volume_);
    }
    return 1;
}

// The swap waits for a callback that is inside the old sink to leave it. That cannot deadlock:
// libVLC calls us with its event lock held and we then take sinkMutex_, while the window thread
// takes sinkMutex_ only here, for the swap, never around a libVLC call. Events that libVLC
// fires synchronously on the window thread (inside set_time, stop, take_snapshot) take it
// while nobody holds it, and a sink only copies and posts, so the holder always gets through.
void CVlcPlayer::AttachEvents(IVlcEventSink* sink)
{
    if (loaded_ == 0) {
        return;
    }
    {
        std::lock_guard lock(sinkMutex_);
        sink_ = sink;
    }
    if (!subscribed_) {
        Subscribe();
    }
}

void CVlcPlayer::DetachEvents()
{
    Unsubscribe();
    std::lock_guard lock(sinkMutex_);
    sink_ = nullptr;
}

void CVlcPlayer::Subscribe()
{
    if (eventManager_ == nullptr || !api_->libvlc_event_attach) {
        return;
    }
    for (int type : kSubscribedEvents) {
        api_->libvlc_event_attach(eventManager_, type, &CVlcPlayer::OnLibvlcEvent, this);
    }
    api_->libvlc_event_attach(eventManager_, kLengthEvent, &CVlcPlayer::OnLibvlcEvent, this);
    subscribed_ = true;
}

// After this returns no callback of this channel is running or will run.
void CVlcPlayer::Unsubscribe()
{
    if (!subscribed_) {
        return;
    }
    subscribed_ = false;
    if (eventManager_ == nullptr || !api_->libvlc_event_detach) {
        return;
    }
    for (int type : kSubscribedEvents) {
        api_->libvlc_event_detach(eventManager_, type, &CVlcPlayer::OnLibvlcEvent, this);
    }
    api_->libvlc_event_detach(eventManager_, kLengthEvent, &CVlcPlayer::OnLibvlcEvent, this);
}

// Runs on libVLC's threads (or inside a player call): copies, forwards, never calls libVLC,
// never throws into C.
void CVlcPlayer::OnLibvlcEvent(const libvlc_event_t* event, void* data) noexcept
{
    auto* self = static_cast<CVlcPlayer*>(data);
    if (event == nullptr || self == nullptr) {
        return;
    }
    if (event->type == kLengthEvent) {
        self->lengthMs_ = event->u.media_player_length_changed.new_length;
        return;
    }
    if (event->type == libvlc_MediaPlayerMediaChanged) {
        self->lengthMs_ = -1;
    }
    VlcEvent copy;
    copy.type = static_cast<VlcEventType>(event->type);
    copy.channel = self;
    copy.lengthMs = self->lengthMs_.load();
    switch (event->type) {
    case libvlc_MediaPlayerTimeChanged:
        copy.timeMs = event->u.media_player_time_changed.new_time;
        break;
    case libvlc_MediaPlayerPositionChanged:
        copy.position = event->u.media_player_position_changed.new_position;
        break;
    case libvlc_MediaPlayerSeekableChanged:
        copy.seekable = event->u.media_player_seekable_changed.new_seekable;
        break;
    case libvlc_MediaPlayerBuffering:
        copy.bufferingPercent = event->u.media_player_buffering.new_cache;
        break;
    default:
        break;
    }
    try {
        std::lock_guard lock(self->sinkMutex_);
        if (self->sink_ != nullptr) {
            self->sink_->OnVlcEvent(copy);
        }
    } catch (...) {
        // The event is dropped.
    }
}

void CVlcPlayer::SetWindow(std::uint32_t xwindow)
{
    if (loaded_ == 0 || !api_->libvlc_media_player_set_xwindow) {
        return;
    }
    api_->libvlc_media_player_set_xwindow(player_, xwindow);
    frameSinkSet_ = false;  // a window replaces memory rendering
}

void CVlcPlayer::SetFrameSink(IVideoFrameSink* sink)
{
    {
        std::lock_guard lock(frames_->sinkMutex);
        frames_->sink = sink;
    }
    if (loaded_ == 0 || sink == nullptr || !api_->libvlc_video_set_callbacks ||
        !api_->libvlc_video_set_format_callbacks) {
        return;
    }
    api_->libvlc_video_set_callbacks(player_, &VlcFrameBridge::Lock, &VlcFrameBridge::Unlock,
                                     &VlcFrameBridge::Display, frames_.get());
    api_->libvlc_video_set_format_callbacks(player_, &VlcFrameBridge::Format, &VlcFrameBridge::Cleanup);
    frameSinkSet_ = true;
}

int CVlcPlayer::SetOpenGlVideo(bool allowed)
{
    openGlVideo_ = allowed;
    if (loaded_ == 0 || media_ != nullptr) {
        return 0;
    }
    return Rebuild() ? 1 : 0;
}

int CVlcPlayer::SetAudioOutput(const std::string& module)
{
    if (loaded_ == 0 || !api_->libvlc_audio_output_set) {
        return -1;
    }
    audioOutput_ = module;
    return api_->libvlc_audio_output_set(player_, module.c_str());
}

void CVlcPlayer::OpenMedia(const char* utf8Path)
{
    if (loaded_ == 0) {
        return;
    }
    if (api_->libvlc_audio_set_volume) {
        api_->libvlc_audio_set_volume(player_, volume_);
    }
    mediaPath_ = (utf8Path != nullptr) ? std::string(utf8Path) : std::string();
    libvlc_media_t* previous = media_;
    media_ = api_->libvlc_media_new_path ? api_->libvlc_media_new_path(instance_, mediaPath_.c_str()) : nullptr;
    if (media_ != nullptr && api_->libvlc_media_add_option) {
        api_->libvlc_media_add_option(media_, ":ffmpeg-hw");
    }
    // A media that could not be created clears the player, so Play cannot restart the old file.
    if (api_->libvlc_media_player_set_media) {
        api_->libvlc_media_player_set_media(player_, media_);
    }
    // The player keeps its own reference to the media it was given.
    if (previous != nullptr && api_->libvlc_media_release) {
        api_->libvlc_media_release(previous);
    }
    if (api_->libvlc_video_set_key_input) {
        api_->libvlc_video_set_key_input(player_, 0);
    }
    if (api_->libvlc_video_set_mouse_input) {
        api_->libvlc_video_set_mouse_input(player_, 0);
    }
}

void CVlcPlayer::OpenMedia(const std::string& utf8Path)
{
    if (!utf8Path.empty()) {
        OpenMedia(utf8Path.c_str());
        return;
    }
    if (loaded_ == 0) {
        return;
    }
    mediaPath_.clear();
    if (api_->libvlc_media_player_set_media) {
        api_->libvlc_media_player_set_media(player_, nullptr);
    }
    if (media_ != nullptr && api_->libvlc_media_release) {
        api_->libvlc_media_release(media_);
    }
    media_ = nullptr;
}

void CVlcPlayer::Play()
{
    if (loaded_ == 0 || !api_->libvlc_media_player_play) {
        return;
    }
    if (!frameSinkSet_ && !DisplayAvailable()) {
        return;
    }
    api_->libvlc_media_player_play(player_);
    playing_ = 1;
    paused_ = 0;
}

void CVlcPlayer::Pause()
{
    if (loaded_ == 0) {
        return;
    }
    playing_ = 0;
    if (api_->libvlc_media_player_pause) {
        api_->libvlc_media_player_pause(player_);
    }
    paused_ = 1;
}

void CVlcPlayer::SetPause(bool paused)
{
    if (loaded_ == 0) {
        return;
    }
    if (api_->libvlc_media_player_set_pause) {
        api_->libvlc_media_player_set_pause(player_, paused ? 1 : 0);
    }
    playing_ = paused ? 0 : 1;
    paused_ = paused ? 1 : 0;
}

void CVlcPlayer::Stop()
{
    if (loaded_ == 0) {
        return;
    }
    if (api_->libvlc_media_player_stop) {
        api_->libvlc_media_player_stop(player_);
    }
    playing_ = 0;
    paused_ = 0;
}

void CVlcPlayer::NextFrame()
{
    if (loaded_ == 0 || !api_->libvlc_media_player_next_frame) {
        return;
    }
    api_->libvlc_media_player_next_frame(player_);
    playing_ = 0;
    paused_ = 1;
}

std::int64_t CVlcPlayer::GetLength() const
{
    if (loaded_ == 0 || !api_->libvlc_media_player_get_length) {
        return -1;
    }
    return api_->libvlc_media_player_get_length(player_);
}

std::int64_t CVlcPlayer::GetTime() const
{
    if (loaded_ == 0 || !api_->libvlc_media_player_get_time) {
        return -1;
    }
    return api_->libvlc_media_player_get_time(player_);
}

// The track list is filled once the media has been opened for playing.
double CVlcPlayer::FrameRate() const
{
    if (loaded_ == 0 || media_ == nullptr || !api_->libvlc_media_tracks_get || !api_->libvlc_media_tracks_release) {
        return 0;
    }
    libvlc_media_track_t** tracks = nullptr;
    const unsigned count = api_->libvlc_media_tracks_get(media_, &tracks);
    double rate = 0;
    for (unsigned i = 0; i < count && tracks != nullptr; ++i) {
        const libvlc_media_track_t* track = tracks[i];
        if (track == nullptr || track->i_type != libvlc_track_video || track->video == nullptr) {
            continue;
        }
        if (track->video->i_frame_rate_num != 0 && track->video->i_frame_rate_den != 0) {
            rate = static_cast<double>(track->video->i_frame_rate_num) / track->video->i_frame_rate_den;
            break;
        }
    }
    if (tracks != nullptr) {
        api_->libvlc_media_tracks_release(tracks, count);
    }
    return rate;
}

void CVlcPlayer::SetTime(std::int64_t ms)
{
    if (loaded_ == 0 || !api_->libvlc_media_player_set_time) {
        return;
    }
    api_->libvlc_media_player_set_time(player_, ms);
}

int CVlcPlayer::SetRate(float rate)
{
    if (loaded_ == 0) {
        return -1;
    }
    rate_ = rate;
    if (!api_->libvlc_media_player_set_rate) {
        return -1;
    }
    return api_->libvlc_media_player_set_rate(player_, rate);
}

int CVlcPlayer::SetMarquee(const std::string& text, int size, bool enable)
{
    if (loaded_ == 0) {
        return 0;
    }
    marqueeSet_ = true;
    marqueeText_ = text;
    marqueeSize_ = size;
    marqueeEnabled_ = enable;
    ApplyMarquee();
    return 1;
}

void CVlcPlayer::ApplyMarquee()
{
    if (api_->libvlc_video_set_marquee_string) {
        api_->libvlc_video_set_marquee_string(player_, libvlc_marquee_Text, marqueeText_.c_str());
    }
    if (!api_->libvlc_video_set_marquee_int) {
        return;
    }
    // Green, opaque, permanent, top-left; libVLC uses the low 24 bits of the colour.
    const std::array<std::pair<unsigned, int>, 7> settings = {{
        {libvlc_marquee_Size, marqueeSize_},
        {libvlc_marquee_Opacity, 255},
        {libvlc_marquee_Color, static_cast<int>(0xFF00FF00u)},
        {libvlc_marquee_Timeout, -1},
        {libvlc_marquee_X, 0},
        {libvlc_marquee_Y, 0},
        {libvlc_marquee_Enable, marqueeEnabled_ ? 1 : 0},
    }};
    for (const auto& [option, value] : settings) {
        api_->libvlc_video_set_marquee_int(player_, option, value);
    }
}

void CVlcPlayer::SetVolume(int percent)
{
    if (loaded_ == 0) {
        return;
    }
    volume_ = percent;
    if (api_->libvlc_audio_set_volume) {
        api_->libvlc_audio_set_volume(player_, percent);
    }
}

void CVlcPlayer::SetMute(bool mute)
{
    if (loaded_ == 0 || !api_->libvlc_audio_set_mute) {
        return;
    }
    api_->libvlc_audio_set_mute(player_, mute ? 1 : 0);
}

void CVlcPlayer::SetSnapshotConverter(SnapshotConverter converter)
{
    snapshotConverter_ = std::move(converter);
}

int CVlcPlayer::TakeSnapshot(const std::string& utf8Path)
{
    if (loaded_ == 0 || !api_->libvlc_video_take_snapshot || utf8Path.empty()) {
        return -1;
    }
    // libVLC writes PNG whatever the name says; a JPEG is made from that PNG.
    const bool jpeg = HasJpegExtension(utf8Path);
    if (jpeg && !snapshotConverter_) {
        return -1;
    }
    const std::string temporary = MakeSnapshotTemporary(utf8Path);
    if (temporary.empty()) {
        return -1;
    }
    // libVLC reports success even when it could not write; the file itself is the answer.
    const int rc = api_->libvlc_video_take_snapshot(player_, 0, temporary.c_str(), 0, 0);
    // The snapshot removes the marquee from the picture.
    if (marqueeSet_) {
        ApplyMarquee();
    }
    if (rc != 0 || !HoldsWholePng(temporary)) {
        ::unlink(temporary.c_str());
        return -1;
    }
    return FinishSnapshot(temporary, utf8Path, jpeg);
}

int CVlcPlayer::FinishSnapshot(const std::string& temporary, const std::string& target, bool jpeg)
{
    if (!jpeg) {
        if (std::rename(temporary.c_str(), target.c_str()) != 0) {
            ::unlink(temporary.c_str());
            return -1;
        }
        return 0;
    }
    bool converted = false;
    try {
        converted = snapshotConverter_(temporary, target);
    } catch (...) {
        converted = false;
    }
    // A temporary that stays behind is reported too, though the JPEG itself is complete.
    const bool removed = ::unlink(temporary.c_str()) == 0;
    return converted && removed ? 0 : -1;
}

}  // namespace trivane
