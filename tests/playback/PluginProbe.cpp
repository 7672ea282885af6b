// Builds one channel on the system's libVLC, as the player does when it starts, and exits:
// 0 when the library loaded. The plug-in folder test runs it in a working folder of its choice.
#include "playback/CVlcPlayer.h"

int main()
{
    const trivane::CVlcPlayer player;
    return player.IsLoaded() ? 0 : 1;
}
