// The host of the headless binding: message boxes answered from a script and recorded in
// order, forms shown and hidden by their visibility, and the end of the program as a flag.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "ui/controls.h"
#include "ui/host.h"

namespace tess::ui {

class HeadlessHost : public Host {
public:
    struct AskedBox {
        std::string text;
        int flags;
        std::string caption;  // as shown: the program's title where none was given
        int answer;
    };

    explicit HeadlessHost(std::string programTitle, double twipsPerPixel = 15.0)
        : title_(std::move(programTitle)), twipsPerPixel_(twipsPerPixel) {}

    // Queues the answer to the next box that asks a question. A box with only an OK button is
    // answered OK without a script; a question without a queued answer is recorded as
    // unanswered and gets No.
    void answerNext(int answer) { answers_.push_back(answer); }
    const std::vector<AskedBox>& asked() const { return asked_; }
    int unanswered() const { return unanswered_; }
    int pendingAnswers() const { return static_cast<int>(answers_.size()); }
    void clearAsked() { asked_.clear(); }

    bool ended() const { return ended_; }
    // The code the program ended with first; a real program ends at its first request.
    int exitCode() const { return exitCode_; }
    // Forms in the order they were shown, with whether the show was modal.
    const std::vector<std::pair<const Form*, bool>>& shown() const { return shown_; }
    std::function<void(Form&)> onModalShow;

    int messageBox(const std::string& text, int flags, const std::string& caption) override;
    Status show(Form& form, bool modal) override;
    void hide(Form& form) override { form.setVisible(false); }
    void unload(Form& form) override { form.setVisible(false); }
    using Host::endProgram;
    void endProgram(int exitCode) override {
        if (!ended_) exitCode_ = exitCode;
        ended_ = true;
    }
    uintptr_t windowHandle(const Form& form) const override;
    double twipsPerPixelX() const override { return twipsPerPixel_; }
    double twipsPerPixelY() const override { return twipsPerPixel_; }
    // An 800 × 600 pixel screen unless a test gives another size.
    double screenWidthTwips() const override { return screenWidth_; }
    double screenHeightTwips() const override { return screenHeight_; }
    void setScreenSize(double widthTwips, double heightTwips) {
        screenWidth_ = widthTwips;
        screenHeight_ = heightTwips;
    }

private:
    std::string title_;
    double twipsPerPixel_;
    double screenWidth_ = 800 * twipsPerPixel_, screenHeight_ = 600 * twipsPerPixel_;
    std::deque<int> answers_;
    std::vector<AskedBox> asked_;
    int unanswered_ = 0;
    bool ended_ = false;
    int exitCode_ = 0;
    std::vector<std::pair<const Form*, bool>> shown_;
};

} // namespace tess::ui
