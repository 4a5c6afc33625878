#include "windows/help_window.h"

#include "windows/window_id.h"

#include <QAction>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace windows {

namespace {

const char *const kHelp = R"(<h2>使用说明</h2>
<p>本程序按滚球法计算避雷针的保护范围和所需高度，并估算建筑物的年预计雷击次数。
长度、高度和距离均以米（m）为单位输入。防雷类别决定滚球半径 hr：
3类 hr=60米，2类 hr=45米，1类 hr=30米。</p>

<h3>单支避雷针保护范围</h3>
<p>输入被保护物高度 hx 和避雷针高度 h（m），选择防雷类别，得出避雷针在 hx 高度上的保护半径 rx
和在地面上的保护半径 ro（m）。</p>

<h3>双根等高避雷针保护范围</h3>
<p>输入避雷针高度 h 和针间距离 D（m），选择防雷类别，得出两针中间保护范围的最低高度 hx
和地面上中间的保护宽度 bo（m）。两针相距过远、不能共同保护时，程序提示按单支避雷针方法计算，
并转到单支避雷针窗口。</p>

<h3>避雷针高度计算</h3>
<p>输入被保护物高度 hx 和它到避雷针的距离（m），选择防雷类别，得出恰好保护该物体的两个针高
x1 和 x2（m）。x2 不超过 hr，通常取用 x2。此窗口只用"计  算"按钮计算。</p>

<h3>雷击次数计算</h3>
<p>输入建筑物的长、宽、高（m），选择校正系数 K 和所在地（年雷暴日 td），得出年预计雷击次数
N（次/年）。</p>

<h3>按键</h3>
<ul>
<li><b>Enter</b>：在单支、双根窗口的输入框中按 Enter 即计算；输入框中不是数字时，光标移到该输入框。
在雷击次数窗口中按 Enter 等于按"计算"按钮。</li>
<li><b>F2</b>：在单支避雷针窗口与双根等高避雷针窗口之间切换。</li>
<li><b>F10</b>：在防雷类别列表中选中"1类 hr=30米"时按 F10，打开雷击次数计算窗口。</li>
<li><b>Ctrl+P</b>：打开当前窗口的计算书（也可在窗口空白处或文字上单击右键，选"计算书"）。</li>
</ul>

<h3>两种计算方式</h3>
<p>按"计  算"按钮：结果四舍五入到三位小数；输入不是数字时给出提示。<br>
按 Enter：结果截取为五个字符；输入不是数字时只移动光标，不给提示。</p>
<p>被保护物高于避雷针（hx 大于 h）时，被保护物在其高度上不受保护：按钮计算把 rx 的负值显示为红色，
Enter 计算则在 rx 处显示红色的"hx应小于h"。</p>

<h3>计算书</h3>
<p>计算书写明依据、输入、每个公式及代入的数值、结果和结论，并附保护范围图。它随所对应窗口的每次计算
自动更新。计算书窗口中可以：</p>
<ul>
<li>查看计算书和保护范围图；</li>
<li><b>复制</b>：复制到剪贴板，可粘贴到文字处理软件（带图）或纯文本编辑器；</li>
<li><b>导出PDF…</b>（Ctrl+S）：保存为 A4 的 PDF 文件；</li>
<li><b>打印…</b>：用打印机打印，页面与 PDF 相同；</li>
<li><b>关闭</b>（Esc）：关闭计算书窗口，程序继续运行。</li>
</ul>
)";

} // namespace

HelpWindow::HelpWindow()
{
    setObjectName(QString::fromLatin1(formName(WindowId::Help)));
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("使用说明"));
    auto *text = new QTextBrowser(this);
    text->setObjectName(QStringLiteral("helpText"));
    text->setHtml(QString::fromUtf8(kHelp));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text);
    auto *closeAction = new QAction(this);
    closeAction->setShortcut(Qt::Key_Escape);
    connect(closeAction, &QAction::triggered, this, &QWidget::close);
    addAction(closeAction);
    resize(600, 560);
}

} // namespace windows
