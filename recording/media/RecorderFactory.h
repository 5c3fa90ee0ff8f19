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
    // Whether make can record from a camera: the system lists one, or another maker is installed.
    static bool cameraListed();
    // An empty maker brings back the machine's devices.
    static void install(Maker maker);
};
