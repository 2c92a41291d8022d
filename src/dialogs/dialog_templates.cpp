#include "dialogs/dialog_templates.h"

#include <iterator>

#include "resources/resource.h"

namespace corvex {

namespace {

using namespace platform;  // the style names read as they do in the resource script

constexpr int32_t kNone = kNoControlId;
constexpr int32_t kOk = 1;

const ControlTemplate kConfigPanelControls[] = {
    {kNone, ControlKind::Button, BS_GROUPBOX, "Display Mode", 7, 7, 66, 66, 0},
    {IDC_FULL_SCREEN, ControlKind::Button, BS_AUTORADIOBUTTON | WS_GROUP, "Full Screen", 13, 19,
     51, 10, 0},
    {IDC_WINDOWED, ControlKind::Button, BS_AUTORADIOBUTTON, "Windowed", 13, 31, 50, 10, 0},
    {IDC_BACKGROUND, ControlKind::Button, BS_AUTORADIOBUTTON, "Background", 13, 43, 55, 10, 0},
    {IDC_BACKGROUND_NOTE, ControlKind::Text, SS_LEFT, "(supported)", 25, 53, 44, 17, 0},
    {kNone, ControlKind::Button, BS_GROUPBOX, "Resolution", 83, 7, 99, 66, 0},
    {IDC_RESOLUTION_LIST, ControlKind::ListBox,
     LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER, nullptr, 86, 17, 90, 44, 0},
    {IDC_DEPTH_NOTE, ControlKind::Text, SS_LEFT, "24- or 32-bit modes best", 90, 62, 85, 8, 0},
    {IDC_SCENE_OPTIONS, ControlKind::Button, BS_GROUPBOX, "Scene Options", 7, 75, 175, 46, 0},
    {IDC_RENDERER_LABEL, ControlKind::Text, SS_CENTER | SS_SUNKEN, "Renderer", 13, 86, 111, 13,
     0},
    {IDC_NEXT_RENDERER, ControlKind::Button, BS_PUSHBUTTON, "Next", 125, 86, 22, 13, 0},
    {IDC_RENDERER_ON, ControlKind::Button, BS_AUTOCHECKBOX, "On", 149, 88, 27, 10, 0},
    {IDC_TRANSFORM_LABEL, ControlKind::Text, SS_CENTER | SS_SUNKEN, "Transformation", 13, 103,
     111, 13, 0},
    {IDC_NEXT_TRANSFORM, ControlKind::Button, BS_PUSHBUTTON, "Next", 125, 103, 22, 13, 0},
    {IDC_TRANSFORM_ON, ControlKind::Button, BS_AUTOCHECKBOX, "On", 149, 104, 27, 10, 0},
    {kNone, ControlKind::Button, BS_GROUPBOX, "Other Options", 7, 123, 175, 112, 0},
    {IDC_SHOW_INFO, ControlKind::Button, BS_AUTOCHECKBOX | BS_LEFTTEXT,
     "Show Rendering Info (FPS)", 74, 133, 102, 10, 0},
    {IDC_SHOW_SONG_TITLE, ControlKind::Button, BS_AUTOCHECKBOX | BS_LEFTTEXT,
     "Show Song Title at Start", 83, 145, 93, 10, 0},
    {IDC_MINIMIZE_HOST, ControlKind::Button, BS_AUTOCHECKBOX | BS_LEFTTEXT,
     "Minimize Winamp in Full Screen Mode", 41, 157, 135, 10, 0},
    {IDC_USE_DELAY, ControlKind::Button, BS_AUTOCHECKBOX | BS_LEFTTEXT,
     "Slow Down Windowed and Background Mode", 13, 169, 163, 10, 0},
    {IDC_DELAY_NOTE, ControlKind::Text, SS_LEFT, "(Allows you to do other things)", 66, 179, 96,
     11, 0},
    {kNone, ControlKind::Text, SS_LEFT, "Frames Between Scenes (default: 500):", 17, 196, 125, 8,
     0},
    {IDC_FRAMES_LABEL, ControlKind::Text, SS_RIGHT, nullptr, 148, 196, 28, 8, 0},
    {IDC_FRAMES_MIN_LABEL, ControlKind::Text, SS_CENTER, nullptr, 13, 206, 18, 8, 0},
    {IDC_FRAMES_MAX_LABEL, ControlKind::Text, SS_CENTER, nullptr, 157, 206, 19, 8, 0},
    {IDC_FRAMES_SLIDER, ControlKind::Trackbar, TBS_AUTOTICKS, nullptr, 14, 215, 162, 16, 0},
    {IDC_DONE, ControlKind::Button, BS_DEFPUSHBUTTON, "Done", 7, 238, 50, 13, 0},
    {IDC_HELP_AND_INFO, ControlKind::Button, BS_PUSHBUTTON, "Help and Info", 69, 238, 50, 13, 0},
    {IDC_EXIT_PLUGIN, ControlKind::Button, BS_PUSHBUTTON, "Exit Plugin", 132, 238, 50, 13, 0},
};

const ControlTemplate kAboutBoxControls[] = {
    {kNone, ControlKind::Text, SS_BITMAP | SS_REALSIZEIMAGE, nullptr, 7, 7, 267, 65,
     IDB_ABOUT_PICTURE},
    {IDC_PRODUCT_NAME, ControlKind::Text, SS_CENTER, "Corvex", 7, 74, 267, 10, 0},
    {IDC_VERSION, ControlKind::Text, SS_CENTER, "Version", 7, 87, 267, 10, 0},
    {IDC_NOTICE, ControlKind::Text, SS_CENTER, "Free to use and to share. Turn the music up.", 7,
     100, 267, 10, 0},
    {IDC_HOME_PAGE, ControlKind::Text, SS_CENTER, "https://corvex.example/", 7, 111, 267, 12, 0},
    {IDC_README, ControlKind::Edit,
     ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_BORDER | WS_VSCROLL, nullptr, 7, 127, 267,
     117, 0},
    {kOk, ControlKind::Button, BS_DEFPUSHBUTTON, "OK", 108, 250, 65, 14, 0},
};

}  // namespace

const DialogTemplate kConfigPanelTemplate = {
    IDD_CONFIG_PANEL,
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_CENTER | DS_MODALFRAME | DS_3DLOOK |
        DS_SETFOREGROUND | DS_SETFONT,
    "Corvex Configuration Panel",
    "MS Sans Serif",
    8,
    189,
    258,
    kConfigPanelControls,
    std::size(kConfigPanelControls),
};

// No system menu, so no close box: the box closes with OK.
const DialogTemplate kAboutBoxTemplate = {
    IDD_ABOUT_BOX,
    WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT,
    "About Corvex",
    "MS Sans Serif",
    8,
    281,
    271,
    kAboutBoxControls,
    std::size(kAboutBoxControls),
};

}  // namespace corvex
