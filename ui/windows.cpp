#include "ui/windows.h"

#include "app/commands.h"
#include "common/bmp.h"
#include "countdown/countdown.h"
#include "skins/skins.h"

#include <iterator>

using ui::Border;
using ui::ControlKind;
using ui::ControlTemplate;
using ui::WindowTemplate;

namespace {

constexpr ControlKind Label = ControlKind::Label, Button = ControlKind::Button,
                      Edit = ControlKind::Edit, Combo = ControlKind::Combo,
                      Picture = ControlKind::Picture, Timer = ControlKind::Timer,
                      Slider = ControlKind::Slider, Group = ControlKind::Group;

// Controls in template order. Many of MainWindow's lie outside its 258 x 233
// area: they exist and hold state, but are never seen.
const ControlTemplate kMainControls[] = {
    {.name = "编辑框4", .kind = Edit, .left = 296, .top = 104, .width = 80, .height = 32},
    {.name = "按钮15", .kind = Button, .left = 384, .top = 40, .width = 80, .height = 40},
    {.name = "时钟4", .kind = Timer, .left = 224, .top = 168, .width = 16, .height = 16, .period = 10},
    {.name = "时钟3", .kind = Timer, .left = 176, .top = 168, .width = 32, .height = 16,
     .period = 1000, .periodic = TrimWorkingSet},
    {.name = "按钮14", .kind = Button, .left = 183, .top = 128, .width = 48, .height = 24,
     .caption = "计算器", .clicked = OpenCalculator},
    {.name = "按钮13", .kind = Button, .left = 136, .top = 128, .width = 40, .height = 24,
     .caption = "置顶", .clicked = ToggleAlwaysOnTop},
    {.name = "按钮12", .kind = Button, .left = 64, .top = 56, .width = 48, .height = 32,
     .caption = "截图"},
    {.name = "按钮11", .kind = Button, .left = 8, .top = 56, .width = 48, .height = 32,
     .caption = "取浏览器"},
    {.name = "按钮10", .kind = Button, .left = 56, .top = 328, .width = 40, .height = 24,
     .caption = "刷新"},
    {.name = "按钮9", .kind = Button, .left = 10, .top = 328, .width = 40, .height = 24,
     .caption = "刷新"},
    {.name = "组合框2", .kind = Combo, .left = 8, .top = 304, .width = 96, .height = 20},
    {.name = "标签6", .kind = Label, .left = 72, .top = 576, .width = 32, .height = 32},
    {.name = "按钮8", .kind = Button, .left = 197, .top = 576, .width = 40, .height = 28,
     .caption = "透明", .clicked = ApplyTransparency},
    {.name = "滑块条1", .kind = Slider, .left = 112, .top = 570, .width = 80, .height = 25,
     .rangeMin = 0, .rangeMax = 250, .position = 1, .pageSize = 5, .lineSize = 1},
    {.name = "按钮7", .kind = Button, .left = 672, .top = 592, .width = 48, .height = 24,
     .clicked = OpenSkinWindow},
    {.name = "按钮6", .kind = Button, .left = 62, .top = 123, .width = 48, .height = 32,
     .caption = "发送"},
    {.name = "按钮5", .kind = Button, .left = 7, .top = 123, .width = 48, .height = 32,
     .caption = "刷新"},
    {.name = "组合框1", .kind = Combo, .left = 8, .top = 96, .width = 96, .height = 20,
     .dropDownList = true},
    {.name = "按钮4", .kind = Button, .left = 248, .top = 320, .width = 40, .height = 32,
     .clicked = OpenTimeUpWindow},
    {.name = "标签5", .kind = Label, .left = 136, .top = 384, .width = 120, .height = 32},
    {.name = "按钮3", .kind = Button, .left = 7, .top = 166, .width = 48, .height = 32,
     .caption = "说明", .clicked = OpenHelp},
    {.name = "标签4", .kind = Label, .left = 448, .top = 440, .width = 56, .height = 32},
    {.name = "标签3", .kind = Label, .left = 360, .top = 448, .width = 56, .height = 24},
    {.name = "编辑框3", .kind = Edit, .left = 240, .top = 448, .width = 64, .height = 32},
    {.name = "编辑框2", .kind = Edit, .left = 144, .top = 448, .width = 64, .height = 32},
    {.name = "编辑框1", .kind = Edit, .left = 600, .top = 584, .width = 64, .height = 32},
    {.name = "时钟2", .kind = Timer, .left = 160, .top = 16, .width = 24, .height = 16, .period = 100},
    {.name = "图片框3", .kind = Picture, .left = 648, .top = 160, .width = 312, .height = 216},
    {.name = "按钮2", .kind = Button, .left = 608, .top = 64, .width = 88, .height = 40},
    {.name = "标签2", .kind = Label, .left = 3, .top = 28, .width = 117, .height = 24},
    {.name = "按钮1", .kind = Button, .left = 63, .top = 166, .width = 48, .height = 32,
     .caption = "退出", .clicked = ExitProgram},
    {.name = "标签1", .kind = Label, .left = 2, .top = 4, .width = 110, .height = 24},
    {.name = "时钟1", .kind = Timer, .left = 600, .top = 416, .width = 32, .height = 24,
     .period = 500, .periodic = IdleTick},
    {.name = "图片框2", .kind = Picture, .left = 336, .top = 160, .width = 256, .height = 216,
     .sunken = true},
    {.name = "图片框1", .kind = Picture, .left = 125, .top = 16, .width = 120, .height = 96,
     .sunken = true},
};

const ui::FontSpec kOverlayFont{"新宋体", -24, 400, GB2312_CHARSET};
const ui::FontSpec kTimeUpFont{nullptr, -56, 400, GB2312_CHARSET};

const ControlTemplate kOverlayControls[] = {
    {.name = "标签1", .kind = Label, .left = 0, .top = 0, .width = 56, .height = 24,
     .caption = "", .font = &kOverlayFont, .textColour = RGB(0, 0, 0),
     .background = RGB(255, 255, 255), .cursor = reinterpret_cast<LPCSTR>(IDC_CROSS),
     .feedback = OverlayFeedback},
};

const ControlTemplate kHelpControls[] = {
    {.name = "分组框1", .kind = Group, .left = 8, .top = 19, .width = 288, .height = 213},
    {.name = "标签1", .kind = Label, .left = 9, .top = 11, .width = 247, .height = 24,
     .container = "分组框1", .caption = "本程序为谷歌浏览器截图及倒计时工具"},
    {.name = "标签2", .kind = Label, .left = 9, .top = 40, .width = 168, .height = 24,
     .container = "分组框1", .caption = "功能1： 截图快捷方式 Z+X"},
    {.name = "标签3", .kind = Label, .left = 9, .top = 66, .width = 263, .height = 24,
     .container = "分组框1", .caption = "功能2： F+5：5分钟倒计时： F+3：3分钟倒计时"},
    {.name = "标签4", .kind = Label, .left = 9, .top = 93, .width = 255, .height = 27,
     .container = "分组框1", .caption = "功能3：F+/：加1分钟：F+*：减1分钟"},
    {.name = "标签6", .kind = Label, .left = 10, .top = 119, .width = 248, .height = 24,
     .container = "分组框1", .caption = "功能4：Z+V=发送剪辑版内容给QQ，"},
    {.name = "标签7", .kind = Label, .left = 58, .top = 156, .width = 188, .height = 24,
     .caption = "注意要先选定目标昵称"},
    {.name = "标签5", .kind = Label, .left = 18, .top = 184, .width = 184, .height = 27,
     .caption = "注意：截图先按 End键取浏览器"},
    {.name = "图片框1", .kind = Picture, .left = 312, .top = 184, .width = 48, .height = 48,
     .picture = HelpPicture, .leftDown = CloseHelpWindow},
};

const ControlTemplate kTimeUpControls[] = {
    {.name = "时钟1", .kind = Timer, .left = 280, .top = 160, .width = 24, .height = 32,
     .period = 50, .periodic = KeepTimeUpInFront},
    {.name = "标签1", .kind = Label, .left = 67, .top = 32, .width = 240, .height = 72,
     .caption = "时间到了", .font = &kTimeUpFont},
    {.name = "按钮1", .kind = Button, .left = 139, .top = 129, .width = 96, .height = 56,
     .caption = "退出", .clicked = CloseTimeUpWindow},
};

const ControlTemplate kSkinControls[] = {
    {.name = "按钮1", .kind = Button, .left = 128, .top = 80, .width = 72, .height = 40,
     .clicked = CloseSkinWindow},
    {.name = "时钟1", .kind = Timer, .left = 256, .top = 152, .width = 56, .height = 40},
};

} // namespace

const WindowTemplate MainWindowTemplate{
    .name = "MainWindow", .caption = "Tenvaro", .width = 258, .height = 233,
    .border = Border::Fixed, .minimiseBox = true, .maximiseBox = false, .controlBox = true,
    .centred = true, .escCloses = true, .inTaskbar = true, .dragAnywhere = false,
    .alwaysOnTop = true, .created = OnMainWindowCreated, .controls = kMainControls,
    .controlCount = std::size(kMainControls)};

const WindowTemplate CountdownOverlayTemplate{
    .name = "CountdownOverlay", .caption = "", .width = 53, .height = 22,
    .border = Border::None, .minimiseBox = false, .maximiseBox = false, .controlBox = false,
    .centred = true, .escCloses = true, .inTaskbar = false, .dragAnywhere = true,
    .alwaysOnTop = true, .created = OnCountdownOverlayCreated, .controls = kOverlayControls,
    .controlCount = std::size(kOverlayControls)};

const WindowTemplate HelpWindowTemplate{
    .name = "HelpWindow", .caption = "", .width = 376, .height = 273,
    .border = Border::Fixed, .minimiseBox = false, .maximiseBox = false, .controlBox = true,
    .centred = true, .escCloses = true, .inTaskbar = true, .dragAnywhere = false,
    .alwaysOnTop = false, .created = OnHelpWindowCreated, .controls = kHelpControls,
    .controlCount = std::size(kHelpControls)};

const WindowTemplate TimeUpWindowTemplate{
    .name = "TimeUpWindow", .caption = "", .width = 380, .height = 250,
    .border = Border::Fixed, .minimiseBox = false, .maximiseBox = false, .controlBox = true,
    .centred = true, .escCloses = true, .inTaskbar = true, .dragAnywhere = false,
    .alwaysOnTop = false, .created = OnTimeUpWindowCreated, .controls = kTimeUpControls,
    .controlCount = std::size(kTimeUpControls)};

const WindowTemplate SkinWindowTemplate{
    .name = "SkinWindow", .caption = "", .width = 380, .height = 250,
    .border = Border::Fixed, .minimiseBox = false, .maximiseBox = false, .controlBox = true,
    .centred = true, .escCloses = true, .inTaskbar = true, .dragAnywhere = false,
    .alwaysOnTop = false, .created = OnSkinWindowCreated, .controls = kSkinControls,
    .controlCount = std::size(kSkinControls)};

ui::Window MainWindow{MainWindowTemplate};
ui::Window CountdownOverlay{CountdownOverlayTemplate};
ui::Window HelpWindow{HelpWindowTemplate};
ui::Window TimeUpWindow{TimeUpWindowTemplate};
ui::Window SkinWindow{SkinWindowTemplate};

std::vector<uint8_t> HelpPicture() {
    // A question mark in a blue disc on white.
    static const char* const kGlyph[] = {
        "..####..", ".##..##.", ".....##.", "....##..", "...##...", "...##...", "........",
        "...##...",
    };
    return MakeBmp24(48, 48, [](int x, int y) -> uint32_t {
        const int dx = x - 24, dy = y - 24;
        if (dx * dx + dy * dy > 22 * 22) return 0xFFFFFF;
        const int gx = (x - 8) / 4, gy = (y - 8) / 4;
        if (gx >= 0 && gx < 8 && gy >= 0 && gy < 8 && kGlyph[gy][gx] == '#') return 0xFFFFFF;
        return 0x1E64C8;
    });
}
