#pragma once
// The pictures of the toolbar's image buttons, drawn by the program itself.
#include <QIcon>

namespace marlo {

enum class TToolbarImage { New, Open, Save, Print, Cut, Copy, Paste };

QIcon ToolbarIcon(TToolbarImage image);

} // namespace marlo
