#pragma once

// Lets a measuring program see where a run spends its time. The run marks the end of each of its
// steps; a listener installed on the current thread hears of it. With no listener a mark costs one
// thread-local read, so the marks stay in the run for good.

namespace lumivane {

class StepListener {
public:
    StepListener() = default;
    StepListener(const StepListener &) = delete;
    StepListener &operator=(const StepListener &) = delete;
    virtual ~StepListener() = default;

    // `step` names the step that just ended ("parse", "encode", ...); a literal, valid for ever.
    virtual void stepEnded(const char *step) = 0;
};

// Installs a listener on the current thread for as long as it lives.
class ScopedStepListener {
public:
    explicit ScopedStepListener(StepListener &listener);
    ~ScopedStepListener();
    ScopedStepListener(const ScopedStepListener &) = delete;
    ScopedStepListener &operator=(const ScopedStepListener &) = delete;

private:
    StepListener *m_previous;
};

// Tells the current thread's listener, if any, that `step` has ended.
void markStepEnd(const char *step);

}  // namespace lumivane
