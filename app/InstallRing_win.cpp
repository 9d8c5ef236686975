#include "app/InstallRing.h"

#include "ui/ControlIds.h"
#include "ui/TaskbarProgress.h"
#include "ui/Window.h"

namespace app {
namespace {

class RingView : public net::ProgressView {
public:
    void SetPosition(std::int32_t position) override {
        ui::SetControlProperty(ui::kMainWindowId, ui::kProgressBar, ui::kPropPosition, position);
        ui::ShowOnTaskbar(ui::JobState::Working, Position(), ui::kProgressMaximum);
    }
    std::int64_t Position() const override {
        return ui::GetControlProperty(ui::kMainWindowId, ui::kProgressBar, ui::kPropPosition).AsInteger();
    }
    void SetLabel(const rt::Text& text) override {
        ui::SetControlProperty(ui::kMainWindowId, ui::kProgressLabel, ui::kPropText, text);
    }
    void SetDetail(const rt::Text& text) override {
        ui::SetControlProperty(ui::kMainWindowId, ui::kDetailLabel, ui::kPropText, text);
    }
};

}  // namespace

net::ProgressView& InstallRing() {
    static RingView ring;
    return ring;
}

}  // namespace app
