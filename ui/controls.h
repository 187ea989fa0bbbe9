// The control model every window is written against, one header a control kind: forms, frames,
// labels, buttons, text boxes, scroll bars, picture and image boxes, file lists and menus.
#pragma once

#include "ui/buttons.h"
#include "ui/control.h"
#include "ui/file_lists.h"
#include "ui/form.h"
#include "ui/label.h"
#include "ui/menu_item.h"
#include "ui/picture_boxes.h"
#include "ui/scroll_bar.h"
#include "ui/text_box.h"
#include "ui/text_measure.h"
