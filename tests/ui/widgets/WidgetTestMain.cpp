// The widget test program's single registration of JUCE's GUI and its temporary HOME.
#define WYD_REGISTER_GUI_ENVIRONMENT
#include "ui/UiTestSupport.h"
