// The keys that jog on the manual tab, each as its jog button: one jog of the distance of
// TrackBar2 at the speed of TrackBar1 a press.
#pragma once

#include <Qt>

#include "session/session.h"

namespace zor {

struct JogKey {
  Qt::Key key;
  void (Session::*handler)();
};

inline const JogKey kJogKeys[] = {
    {Qt::Key_Left, &Session::B_leftClick},   {Qt::Key_Right, &Session::B_rightClick},
    {Qt::Key_Up, &Session::B_upClick},       {Qt::Key_Down, &Session::B_downClick},
    {Qt::Key_PageUp, &Session::B_z_upClick}, {Qt::Key_PageDown, &Session::B_z_downClick},
};

}  // namespace zor
