#include "platform/step_timing.h"

namespace lumivane {

namespace {

// Per thread, so that pages restyled side by side on several threads never mix their marks.
thread_local StepListener *currentListener = nullptr;

}  // namespace

ScopedStepListener::ScopedStepListener(StepListener &listener)
    : m_previous(currentListener)
{
    currentListener = &listener;
}

ScopedStepListener::~ScopedStepListener()
{
    currentListener = m_previous;
}

void markStepEnd(const char *step)
{
    if (currentListener != nullptr) {
        currentListener->stepEnded(step);
    }
}

}  // namespace lumivane
