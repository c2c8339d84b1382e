// The microphone volume of the sound card's recording mixer: the volume
// control of the microphone source of mixer device 0's recording
// destination, read and written as one value for all channels.
#pragma once

#include <cstdint>
#include <optional>

namespace vokar {

// Nothing when mixer 0 has no recording destination or no volume control.
std::optional<std::uint32_t> ReadMicrophoneVolume();
// No effect without a mixer or control.
void WriteMicrophoneVolume(std::uint32_t value);

}  // namespace vokar
