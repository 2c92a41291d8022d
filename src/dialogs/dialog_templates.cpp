#include "dialogs/dialog_templates.h"

#include <iterator>

#include "resources/resource.h"

namespace corvex {

namespace {

using namespace platform;  // the style names read as they do in the resource script

constexpr int32_t kNone = kNoControlId;
constexpr int32_t kOk = 1;

const ControlTemplate kConfigPanelControls[] = {
    {kNone, ControlKind::Button, bs::GroupBox, "Display Mode", 7, 7, 66, 66, 0},
    {IDC_FULL_SCREEN, ControlKind::Button, bs::AutoRadioButton | ws::Group, "Full Screen", 13, 19,
     51, 10, 0},
    {IDC_WINDOWED, ControlKind::Button, bs::AutoRadioButton, "Windowed", 13, 31, 50, 10, 0},
    {IDC_BACKGROUND, ControlKind::Button, bs::AutoRadioButton, "Background", 13, 43, 55, 10, 0},
    {IDC_BACKGROUND_NOTE, ControlKind::Text, ss::Left, "(supported)", 25, 53, 44, 17, 0},
    {kNone, ControlKind::Button, bs::GroupBox, "Resolution", 83, 7, 99, 66, 0},
    {IDC_RESOLUTION_LIST, ControlKind::ListBox,
     lbs::Notify | lbs::NoIntegralHeight | ws::VScroll | ws::Border, nullptr, 86, 17, 90, 44, 0},
    {IDC_DEPTH_NOTE, ControlKind::Text, ss::Left, "24- or 32-bit modes best", 90, 62, 85, 8, 0},
    {IDC_SCENE_OPTIONS, ControlKind::Button, bs::GroupBox, "Scene Options", 7, 75, 175, 46, 0},
    {IDC_RENDERER_LABEL, ControlKind::Text, ss::Center | ss::Sunken, "Renderer", 13, 86, 111, 13,
     0},
    {IDC_NEXT_RENDERER, ControlKind::Button, bs::PushButton, "Next", 125, 86, 22, 13, 0},
    {IDC_RENDERER_ON, ControlKind::Button, bs::AutoCheckBox, "On", 149, 88, 27, 10, 0},
    {IDC_TRANSFORM_LABEL, ControlKind::Text, ss::Center | ss::Sunken, "Transformation", 13, 103,
     111, 13, 0},
    {IDC_NEXT_TRANSFORM, ControlKind::Button, bs::PushButton, "Next", 125, 103, 22, 13, 0},
    {IDC_TRANSFORM_ON, ControlKind::Button, bs::AutoCheckBox, "On", 149, 104, 27, 10, 0},
    {kNone, ControlKind::Button, bs::GroupBox, "Other Options", 7, 123, 175, 112, 0},
    {IDC_SHOW_INFO, ControlKind::Button, bs::AutoCheckBox | bs::LeftText,
     "Show Rendering Info (FPS)", 74, 133, 102, 10, 0},
    {IDC_SHOW_SONG_TITLE, ControlKind::Button, bs::AutoCheckBox | bs::LeftText,
     "Show Song Title at Start", 83, 145, 93, 10, 0},
    {IDC_MINIMIZE_HOST, ControlKind::Button, bs::AutoCheckBox | bs::LeftText,
     "Minimize Winamp in Full Screen Mode", 41, 157, 135, 10, 0},
    {IDC_USE_DELAY, ControlKind::Button, bs::AutoCheckBox | bs::LeftText,
     "Slow Down Windowed and Background Mode", 13, 169, 163, 10, 0},
    {IDC_DELAY_NOTE, ControlKind::Text, ss::Left, "(Allows you to do other things)", 66, 179, 96,
     11, 0},
    {kNone, ControlKind::Text, ss::Left, "Frames Between Scenes (default: 500):", 17, 196, 125, 8,
     0},
    {IDC_FRAMES_LABEL, ControlKind::Text, ss::Right, nullptr, 148, 196, 28, 8, 0},
    {IDC_FRAMES_MIN_LABEL, ControlKind::Text, ss::Center, nullptr, 13, 206, 18, 8, 0},
    {IDC_FRAMES_MAX_LABEL, ControlKind::Text, ss::Center, nullptr, 157, 206, 19, 8, 0},
    {IDC_FRAMES_SLIDER, ControlKind::Trackbar, tbs::AutoTicks, nullptr, 14, 215, 162, 16, 0},
    {IDC_DONE, ControlKind::Button, bs::DefPushButton, "Done", 7, 238, 50, 13, 0},
    {IDC_HELP_AND_INFO, ControlKind::Button, bs::PushButton, "Help and Info", 69, 238, 50, 13, 0},
    {IDC_EXIT_PLUGIN, ControlKind::Button, bs::PushButton, "Exit Plugin", 132, 238, 50, 13, 0},
};

const ControlTemplate kAboutBoxControls[] = {
    {kNone, ControlKind::Text, ss::Bitmap | ss::RealSizeImage, nullptr, 7, 7, 267, 65,
     IDB_ABOUT_PICTURE},
    {IDC_PRODUCT_NAME, ControlKind::Text, ss::Center, "Corvex", 7, 74, 267, 10, 0},
    {IDC_VERSION, ControlKind::Text, ss::Center, "Version", 7, 87, 267, 10, 0},
    {IDC_NOTICE, ControlKind::Text, ss::Center, "Free to use and to share. Turn the music up.", 7,
     100, 267, 10, 0},
    {IDC_HOME_PAGE, ControlKind::Text, ss::Center, "https://corvex.example/", 7, 111, 267, 12, 0},
    {IDC_README, ControlKind::Edit,
     es::Multiline | es::ReadOnly | es::AutoVScroll | ws::Border | ws::VScroll, nullptr, 7, 127,
     267, 117, 0},
    {kOk, ControlKind::Button, bs::DefPushButton, "OK", 108, 250, 65, 14, 0},
};

}  // namespace

const DialogTemplate kConfigPanelTemplate = {
    IDD_CONFIG_PANEL,
    ws::Popup | ws::Caption | ws::SysMenu | ds::Center | ds::ModalFrame | ds::Look3D |
        ds::SetForeground | ds::SetFont,
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
    ws::Popup | ws::Caption | ds::ModalFrame | ds::SetFont,
    "About Corvex",
    "MS Sans Serif",
    8,
    281,
    271,
    kAboutBoxControls,
    std::size(kAboutBoxControls),
};

}  // namespace corvex
