#include "windows/menu_bars.h"

#include "rendering/branding.h"

namespace windows {

std::vector<menu::BarItem> menuBarOf(WindowId id)
{
    using namespace menu;
    switch (id) {
    case WindowId::SingleRod:
        return {
            {"quelm",
             QStringLiteral("保护范围"),
             {{"shuanggen", QStringLiteral("双根等高避雷针保护范围(&S)"),
               SwitchTo{WindowId::TwoRods}},
              {"dangende", QStringLiteral("单根避雷针保护范围"), ThisWindow{}}}},
            {"bileizhen",
             QStringLiteral("避雷针高度"),
             {{"gethigh", QStringLiteral("避雷针高度计算"), SwitchTo{WindowId::RodHeight}}}},
            {"leiji",
             QStringLiteral("雷击次数"),
             {{"leijicishu", QStringLiteral("雷击次数计算"), SwitchTo{WindowId::StrikeCount}}}},
            {"help",
             QStringLiteral("帮助文件"),
             {{"vorn", rendering::makerName(), ShowBeside{WindowId::About}},
              {"note", QStringLiteral("使用说明"), ShowBeside{WindowId::Help}}}},
            {"tuichule", QStringLiteral("退出"), {}, EndProgram{}},
        };
    case WindowId::TwoRods:
        return {
            {"quelm",
             QStringLiteral("保护范围"),
             {{"dangen", QStringLiteral("单根避雷针保护范围(&D)"), SwitchTo{WindowId::SingleRod}},
              {"shuanggende", QStringLiteral("双根等高避雷针保护范围"), ThisWindow{}}}},
            {"bileizhendehigh",
             QStringLiteral("避雷针高度"),
             {{"bileizhen", QStringLiteral("避雷针高度计算"), SwitchTo{WindowId::RodHeight}}}},
            {"leijicishuya",
             QStringLiteral("雷击次数"),
             {{"leijicishude", QStringLiteral("雷击次数计算"), SwitchTo{WindowId::StrikeCount}}}},
            {"ituichu", QStringLiteral("退出"), {{"exitid", QStringLiteral("退出"), EndProgram{}}}},
        };
    case WindowId::RodHeight:
        return {
            {"tirasol",
             QStringLiteral("保护范围"),
             {{"dangen", QStringLiteral("单根避雷针保护范围"), SwitchTo{WindowId::SingleRod}},
              {"shuanggen", QStringLiteral("双根等高避雷针保护范围"),
               SwitchTo{WindowId::TwoRods}}}},
            {"leijicishuki",
             QStringLiteral("雷击次数"),
             {{"leijicishudejisuan", QStringLiteral("雷击次数计算"),
               SwitchTo{WindowId::StrikeCount}}}},
            {"tuichuley",
             QStringLiteral("退出"),
             {{"tuichuleded", QStringLiteral("退出"), EndProgram{}}}},
        };
    case WindowId::StrikeCount:
        return {
            {"tirasolall",
             QStringLiteral("保护范围"),
             {{"danzhende", QStringLiteral("单根避雷针保护范围"), SwitchTo{WindowId::SingleRod}},
              {"shuanggende", QStringLiteral("双根避雷针保护范围"), SwitchTo{WindowId::TwoRods}}}},
            {"bileizhengaodu",
             QStringLiteral("避雷针高度"),
             {{"zhendegodu", QStringLiteral("避雷针高度计算"), SwitchTo{WindowId::RodHeight}}}},
            {"exitedd", QStringLiteral("退出"), {{"exitll", QStringLiteral("退出"), EndProgram{}}}},
        };
    case WindowId::About:
    case WindowId::Sheet:
    case WindowId::Help:
        break;
    }
    return {};
}

} // namespace windows
