#pragma once
// Drives a modal print preview from inside its own loop: each timer tick runs the next step
// with the preview's window.

#include <windows.h>

#include <functional>
#include <vector>

namespace harness {

class PreviewSteps {
  public:
    using Step = std::function<void(HWND preview)>;
    explicit PreviewSteps(std::vector<Step> steps) : m_steps(std::move(steps)) {
        s_current = this;
        m_timer = ::SetTimer(nullptr, 0, 80, &PreviewSteps::Tick);
    }
    ~PreviewSteps() {
        ::KillTimer(nullptr, m_timer);
        s_current = nullptr;
    }
    PreviewSteps(const PreviewSteps&) = delete;
    PreviewSteps& operator=(const PreviewSteps&) = delete;
    bool AllRan() const { return m_next == m_steps.size(); }

  private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        PreviewSteps* self = s_current;
        HWND preview = ::FindWindowA("PrintPreview", nullptr);
        if (!self || !preview || self->m_next >= self->m_steps.size()) return;
        self->m_steps[self->m_next++](preview);
    }
    static inline PreviewSteps* s_current = nullptr;
    std::vector<Step> m_steps;
    size_t m_next = 0;
    UINT_PTR m_timer = 0;
};

} // namespace harness
