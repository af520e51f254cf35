#pragma once

#include "core/ProgressSink.h"
#include "ui/template/TemplateDialog.h"

#include <functional>
#include <string>

namespace lumaquill {

// The caption-less window with one line of text and a bar shown while the
// engine works (template 147). A run blocks the user-interface thread, so
// every change repaints the changed control at once and then lets only
// paint and other window-system events through (no user input, no timers,
// no socket notifications); the window therefore shows each text and bar
// position it is given while the run goes on.
class ProgressDialog : public TemplateDialog, public ProgressSink {
    Q_OBJECT
public:
    static constexpr int kTextId = 1064;
    static constexpr int kBarId = 1065;

    ProgressDialog();
    // A window that also has a Cancel button (template 148): the button, a
    // close request or Escape call onCancel once and disable the button.
    // It belongs to owner, the dialog whose run it shows, so that it takes
    // input while that dialog is modal.
    ProgressDialog(QWidget* owner, std::function<void()> onCancel);
    ~ProgressDialog() override;

    void Show() override;
    void Hide() override;
    void SetText(const std::string& text) override;
    void SetRange(uint32_t max) override;
    void SetStep(int32_t step) override;
    void SetPos(int32_t position) override;
    void StepIt() override;

    // The progress window currently shown, if any: prompts that appear
    // during a run use it as their owner so that they are not hidden
    // behind it.
    static ProgressDialog* Shown();

protected:
    // Neither Escape nor a close request ends the window; its run does,
    // once told through CancelHandler.
    void OnCancel() override;

private:
    void Setup();
    void Repaint(QWidget* changed);
    void WaitUntilExposed();

    std::function<void()> CancelHandler;
};

} // namespace lumaquill
