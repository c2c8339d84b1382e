// The main toolbar: a common-controls toolbar whose messages, mouse moves
// included, go straight to the control's own procedure.
#pragma once

#include "window.h"

class CToolBarEx : public fw::Window {};
