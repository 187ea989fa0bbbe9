// The menu item: a caption or a separator, enabled on its own and with its menu, picked by the
// user; items hold their submenu's items.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/control.h"

namespace tess::ui {

class MenuItem {
public:
    // A caption of "-" makes a separator.
    MenuItem(std::string name, std::string caption);
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    const std::string& name() const { return name_; }
    const std::string& caption() const { return caption_; }
    bool separator() const { return caption_ == "-"; }
    bool enabled() const { return enabled_; }
    void setEnabled(bool on);
    void add(MenuItem& child) {
        child.parent_ = this;
        children_.push_back(&child);
    }
    const std::vector<MenuItem*>& children() const { return children_; }
    // A pick by the user: runs onClick when the item and its menu are enabled.
    bool pick();

    void setPeer(ControlPeer* peer) { peer_ = peer; }
    std::function<void()> onClick;

private:
    std::string name_, caption_;
    bool enabled_ = true;
    std::vector<MenuItem*> children_;
    MenuItem* parent_ = nullptr;
    ControlPeer* peer_ = nullptr;
};

} // namespace tess::ui
