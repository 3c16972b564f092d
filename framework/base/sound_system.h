// The programs' sound: the SoundSystem of the pure core over the platform
// layer's streams and player (platform/sound.h), on the device it names.
#pragma once

#include "framework/core/sound_output.h"

// The one instance, for the commands to hand to the auralisation.
SoundSystem& PlatformSoundSystem();
