#pragma once

#include <functional>
#include <memory>

class VideoRecorder;

// Where the program's recorders come from: the machine's camera and
// microphone, unless another maker was installed (tests plug in theirs).
class RecorderFactory
{
public:
    using Maker = std::function<std::unique_ptr<VideoRecorder>(int quality)>;

    static std::unique_ptr<VideoRecorder> make(int quality);
    // An empty maker brings back the machine's devices.
    static void install(Maker maker);
};
