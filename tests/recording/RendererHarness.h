#pragma once

#include "ReaderHarness.h"
#include "polygram/InputState.h"
#include "recording/RenderSurface.h"
#include "recording/Renderer.h"

// A raster surface that shows nothing.
struct BlindSurface : RenderSurface {
    QSize surfaceSize() const override { return QSize(400, 300); }
    bool raster() const override { return true; }
    QWindow *glWindow() override { return nullptr; }
    void present(const FrameChange &) override {}
    bool takeLoss() override { return false; }
    QPoint fromGlobal(const QPoint &global) const override { return global; }
};

// A renderer on the GUI thread over a reader that never runs: the test sets
// its position and the modifiers the keys see.
class KeyBench
{
public:
    explicit KeyBench(Inspection::_Test test = questionTest(), bool recordMode = true)
    {
        run.test() = test;
        reader = std::make_unique<SensorReader>(&run.inspection, &run.test(), recordMode, 0, run.collaborators);
        renderer = std::make_unique<Renderer>(nullptr, &run.inspection, &run.test(), reader.get(), &run.marks);
        InputState::replace([this] {
            InputState state;
            state.modifiers = modifiers;
            return state;
        });
    }

    ~KeyBench() { InputState::replace({}); }

    Inspection::_Test &test() { return run.test(); }

    void press(int key, int at)
    {
        reader->setPosition(at);
        renderer->keyPress(key);
    }
    void release(int key, int at)
    {
        reader->setPosition(at);
        renderer->keyRelease(key);
    }
    void presentAt(int at, int length = 3)
    {
        press(Qt::Key_Space, at);
        release(Qt::Key_Space, at + length);
    }

    ReaderRun run;
    std::unique_ptr<SensorReader> reader;
    std::unique_ptr<Renderer> renderer;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

// A test of three questions in one group, answer window of 10 s.
inline Inspection::_Test threeQuestions()
{
    Inspection::_Test test = questionTest();
    test.addTheme(QStringLiteral("Третий?"), 1, 1, -1);
    test.ia.nIALength = 10.0;
    return test;
}
