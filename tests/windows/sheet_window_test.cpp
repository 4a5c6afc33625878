// The calculation sheet as the user reaches it: the action on every
// calculation window, the one sheet window that follows its window live, the
// context menus, the help window, copy to the clipboard, PDF export to files
// and printing.
#include "gui_fixture.h"

#include "windows/sheet_file_dialog.h"
#include "windows/sheet_print_dialog.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QMenu>
#include <QMimeData>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextEdit>

#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <optional>

using guitest::Fixture;
using windows::WindowId;

namespace {

// What the export dialog answers in these tests, and what it was offered.
QString gPdfAnswer;
QStringList gPdfProposals;

// What the print dialog does in these tests: an empty answer cancels, a path
// prints to that PDF file. What the printer was set to when it was offered.
QString gPrintAnswer;
int gPrintAsks = 0;
QPageSize::PageSizeId gPrintPageSize = QPageSize::Custom;
QString gPrintDocName;

} // namespace

// Stands in for the print dialog: the user picks "print to file".
bool windows::askPrinter(QWidget *, QPrinter &printer)
{
    ++gPrintAsks;
    gPrintPageSize = printer.pageLayout().pageSize().id();
    gPrintDocName = printer.docName();
    if (gPrintAnswer.isEmpty()) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(gPrintAnswer);
    return true;
}

// Stands in for the save dialog: the program asks here instead.
QString windows::askPdfPath(QWidget *, const QString &proposed)
{
    gPdfProposals << proposed;
    return gPdfAnswer;
}

namespace {

QTextEdit *sheetText() { return Fixture::control<QTextEdit>("SheetWindow", "sheetText"); }
QWidget *sheetWindow() { return Fixture::form("SheetWindow"); }
QString sheetShown() { return sheetText() ? sheetText()->toPlainText() : QString(); }

QLineEdit *field(const char *form, const char *name)
{
    return Fixture::control<QLineEdit>(form, name);
}

// The user returns to a window, as a click on it does.
void activate(QWidget *window)
{
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

// Ctrl+P pressed in a field, as the user does.
void pressCtrlPIn(QLineEdit *input)
{
    activate(input->window());
    Fixture::focus(input);
    Fixture::press(Qt::Key_P, Qt::ControlModifier);
}

// The object names of the actions in the popup menu that `open` brings up;
// the menu is closed again at once.
QStringList popupEntries(const std::function<void()> &open)
{
    QStringList names;
    bool seen = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu) return;
        seen = true;
        for (QAction *action : menu->actions()) names << action->objectName();
        menu->close();
    });
    poll.start();
    open();
    if (!QTest::qWaitFor([&] { return seen; }, 2000)) names << QStringLiteral("(no menu)");
    return names;
}

// The context menu request of a right click on `widget`, or of the Menu key
// with the focus on it, as the window system delivers it.
void askForMenu(QWidget *widget, QContextMenuEvent::Reason reason)
{
    const QPoint pos = widget->rect().center();
    QContextMenuEvent event(reason, pos, widget->mapToGlobal(pos));
    QApplication::sendEvent(widget, &event);
}

void rightClick(QWidget *widget) { askForMenu(widget, QContextMenuEvent::Mouse); }

QString pdfText(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    if (!process.waitForFinished(20000)) return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The page count pdfinfo reads from a PDF file; 0 when it cannot read one.
int pdfPages(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {path});
    if (!process.waitForFinished(20000)) return 0;
    const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)$"),
                                   QRegularExpression::MultilineOption);
    return pages.match(QString::fromUtf8(process.readAllStandardOutput())).captured(1).toInt();
}

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                                  QDir::Name);
}

// Limits the size of the files this process writes, as a full disk does, even
// for root; the old limit comes back when it goes out of scope.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old_);
        // Past the limit a write fails with EFBIG instead of ending the process.
        previousSignal_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, previousSignal_);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit old_{};
    void (*previousSignal_)(int) = SIG_DFL;
};

} // namespace

class SheetWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        gPdfAnswer.clear();
        gPdfProposals.clear();
        gPrintAnswer.clear();
        gPrintAsks = 0;
        gPrintPageSize = QPageSize::Custom;
        gPrintDocName.clear();
        fx.start();
    }
    void cleanup() { fx.finish(); }

    void everyCalculationWindowHasTheAction_data()
    {
        QTest::addColumn<WindowId>("id");
        QTest::newRow("single rod") << WindowId::SingleRod;
        QTest::newRow("two rods") << WindowId::TwoRods;
        QTest::newRow("rod height") << WindowId::RodHeight;
        QTest::newRow("strike count") << WindowId::StrikeCount;
    }
    void everyCalculationWindowHasTheAction()
    {
        QFETCH(WindowId, id);
        QWidget *form = fx.set().window(id);
        auto *action = form->findChild<QAction *>(QStringLiteral("sheetAction"));
        QVERIFY(action);
        QCOMPARE(action->text(), QStringLiteral("计算书(&J)…"));
        QCOMPARE(action->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
        QCOMPARE(action->shortcutContext(), Qt::WindowShortcut);
        QVERIFY(form->actions().contains(action));
        // Nothing of the sheet exists before it is asked for.
        QCOMPARE(fx.set().existing(WindowId::Sheet), nullptr);
    }

    void ctrlPInAFieldShowsThatWindowsSheet()
    {
        field("Form1", "Text1")->setText("10");
        field("Form1", "Text2")->setText("30");
        pressCtrlPIn(field("Form1", "Text2"));
        QVERIFY(QTest::qWaitForWindowActive(sheetWindow()));
        QCOMPARE(sheetWindow()->windowTitle(), QStringLiteral("计算书 - 单支避雷针保护范围"));
        QVERIFY(!sheetWindow()->isModal());
        QVERIFY(sheetText()->isReadOnly());
        QVERIFY(Fixture::control("SheetWindow", "zoneDrawing"));
        // hr 60: ro = √(30·90) = 51.9615, rx = ro − √(10·110) = 18.7953.
        const QString text = sheetShown();
        QVERIFY2(text.contains("单根避雷针保护范围计算书"), qPrintable(text));
        QVERIFY(text.contains("51.962"));
        QVERIFY(text.contains("18.795"));
        QVERIFY(Fixture::form("Form1")->isVisible());
    }

    void ctrlPInAnotherWindowSwitchesTheSheet()
    {
        pressCtrlPIn(field("Form1", "Text1"));
        QVERIFY(QTest::qWaitForWindowActive(sheetWindow()));
        Fixture::menuEntry("Form1", "shuanggen")->trigger();
        QVERIFY(QTest::qWaitForWindowActive(Fixture::form("Form2")));
        field("Form2", "Text1")->setText("30");
        field("Form2", "Text2")->setText("40");
        pressCtrlPIn(field("Form2", "Text2"));
        QTRY_COMPARE(sheetWindow()->windowTitle(), QStringLiteral("计算书 - 双根等高针保护范围"));
        QVERIFY(sheetShown().contains("双根等高避雷针保护范围计算书"));
        int sheets = 0;
        for (QWidget *top : QApplication::topLevelWidgets())
            sheets += top->objectName() == QLatin1String("SheetWindow");
        QCOMPARE(sheets, 1);
        QVERIFY(sheetWindow()->isVisible());
    }

    void theSheetFollowsEveryCalculation()
    {
        QLineEdit *hx = field("Form1", "Text1");
        QLineEdit *h = field("Form1", "Text2");
        hx->setText("10");
        h->setText("30");
        pressCtrlPIn(h);
        QVERIFY(QTest::qWaitForWindowActive(sheetWindow()));
        QVERIFY(sheetShown().contains("51.962"));

        // The button: ro = √(40·80) = 56.5685.
        h->setText("40");
        QVERIFY(!sheetShown().contains("56.569")); // typing alone changes nothing
        Fixture::control<QPushButton>("Form1", "Command1")->click();
        QTRY_VERIFY(sheetShown().contains("56.569"));

        // Enter: ro = √(20·100) = 44.7214.
        h->setText("20");
        activate(h->window());
        Fixture::focus(h);
        Fixture::press(Qt::Key_Return);
        QTRY_VERIFY(sheetShown().contains("44.721"));

        // An error outcome that empties the fields: the sheet says what
        // happened to the inputs the user gave, and shows no numbers.
        hx->setText("121");
        h->setText("10");
        fx.boxes.expect(QMessageBox::Ok);
        Fixture::control<QPushButton>("Form1", "Command1")->click();
        QTRY_COMPARE(fx.boxes.count(), 1);
        const QString message = fx.boxes.last().text;
        QTRY_VERIFY(sheetShown().contains(message));
        QVERIFY(!sheetShown().contains("121"));
        QVERIFY(!sheetShown().contains("44.721"));
    }

    void aStrikeCountErrorShowsOnItsSheet()
    {
        Fixture::menuEntry("Form1", "leijicishu")->trigger();
        QVERIFY(QTest::qWaitForWindowActive(Fixture::form("Form4")));
        field("Form4", "Text1_0")->setText("abc");
        field("Form4", "Text1_1")->setText("20");
        field("Form4", "Text1_2")->setText("30");
        pressCtrlPIn(field("Form4", "Text1_1"));
        QVERIFY(QTest::qWaitForWindowActive(sheetWindow()));
        QCOMPARE(sheetWindow()->windowTitle(), QStringLiteral("计算书 - 雷击次数计算"));
        fx.boxes.expect(QMessageBox::Ok);
        Fixture::control<QPushButton>("Form4", "Command1")->click();
        QTRY_COMPARE(fx.boxes.count(), 1);
        QTRY_VERIFY(sheetShown().contains(fx.boxes.last().text));
    }

    void theBackgroundAndLabelsOfferTheActionAndFieldsTheirOwnMenu()
    {
        QWidget *form1 = Fixture::form("Form1");
        const QString action = QStringLiteral("sheetAction");
        QCOMPARE(popupEntries([&] { rightClick(form1->findChild<QWidget *>("Label6")); }),
                 QStringList{action});
        QCOMPARE(popupEntries([&] { rightClick(form1->findChild<QWidget *>("Label8")); }),
                 QStringList{action});
        QCOMPARE(
            popupEntries([&] { rightClick(static_cast<QMainWindow *>(form1)->centralWidget()); }),
            QStringList{action});
        const QStringList editing = popupEntries([] { rightClick(field("Form1", "Text1")); });
        QVERIFY(!editing.contains(action));
        QVERIFY(editing.size() >= 5); // undo, cut, copy, paste, select all and more

        // The Menu key on a button, and a frame's label in the strike-count window.
        QPushButton *compute = Fixture::control<QPushButton>("Form1", "Command1");
        Fixture::focus(compute);
        QCOMPARE(popupEntries([&] { askForMenu(compute, QContextMenuEvent::Keyboard); }),
                 QStringList{action});
        QWidget *form4 = fx.set().window(WindowId::StrikeCount);
        QCOMPARE(popupEntries([&] { rightClick(form4->findChild<QWidget *>("Label1_0")); }),
                 QStringList{action});
        // The context menu's entry is the window's action: choosing it shows the sheet.
        form1->findChild<QAction *>(action)->trigger();
        QVERIFY(QTest::qWaitForWindowActive(sheetWindow()));
    }

    void theHelpWindowExplainsTheProgram()
    {
        Fixture::menuEntry("Form1", "note")->trigger();
        QWidget *help = Fixture::form("HelpWindow");
        QVERIFY(help);
        QVERIFY(QTest::qWaitForWindowActive(help));
        auto *text = Fixture::control<QTextEdit>("HelpWindow", "helpText");
        QVERIFY(text && text->isReadOnly());
        const QString shown = text->toPlainText();
        for (const char *needed : {"单支避雷针", "双根等高避雷针",
                                   "避雷针高度", "雷击次数",
                                   "米",         "hx",
                                   "rx",         "ro",
                                   "bo",         "x1",
                                   "x2",         "Enter",
                                   "F2",         "F10",
                                   "Ctrl+P",     "三位小数",
                                   "五个字符",   "红色",
                                   "hx应小于h",  "计算书",
                                   "复制",       "PDF",
                                   "打印",       "防雷布置",
                                   "lplayout"})
            QVERIFY2(shown.contains(QString::fromUtf8(needed)), needed);
        // The layout program is started from here (not in a test: it would run on).
        auto *start = Fixture::control<QPushButton>("HelpWindow", "startLayout");
        QVERIFY(start && start->isVisible());
        QCOMPARE(start->text(), QStringLiteral("启动防雷布置"));
        QVERIFY(Fixture::form("Form1")->isVisible());
    }

    void closingACompanionNeverEndsTheProgram()
    {
        pressCtrlPIn(field("Form1", "Text1"));
        QVERIFY(QTest::qWaitForWindowActive(sheetWindow()));
        Fixture::menuEntry("Form1", "note")->trigger();
        QVERIFY(QTest::qWaitForWindowActive(Fixture::form("HelpWindow")));
        QVERIFY(Fixture::form("HelpWindow")->close());
        Fixture::control<QPushButton>("SheetWindow", "sheetClose")->click();
        QVERIFY(!sheetWindow()->isVisible());
        QVERIFY(Fixture::form("Form1")->isVisible());
        QCOMPARE(fx.boxes.count(), 0);

        // Esc closes the sheet, which is made afresh on the next Ctrl+P.
        pressCtrlPIn(field("Form1", "Text1"));
        QVERIFY(QTest::qWaitForWindowActive(sheetWindow()));
        Fixture::focus(sheetText());
        Fixture::press(Qt::Key_Escape);
        QTRY_VERIFY(!sheetWindow()->isVisible());
        QCOMPARE(fx.boxes.count(), 0);
    }

    void companionsDoNotCountAsCalculationWindowsAndEndWithTheProgram()
    {
        pressCtrlPIn(field("Form1", "Text1"));
        QVERIFY(QTest::qWaitForWindowActive(sheetWindow()));
        Fixture::menuEntry("Form1", "note")->trigger();
        QVERIFY(QTest::qWaitForWindowActive(Fixture::form("HelpWindow")));
        // The last calculation window's close box still asks.
        fx.boxes.expect(QMessageBox::No);
        Fixture::form("Form1")->close();
        QCOMPARE(fx.boxes.count(), 1);
        QCOMPARE(fx.boxes.last().text, QStringLiteral("真的要退出系统？"));
        QVERIFY(Fixture::form("Form1")->isVisible());

        const int code =
            Fixture::runEventLoop([] { Fixture::menuEntry("Form1", "tuichule")->trigger(); });
        QCOMPARE(code, 0);
        QCOMPARE(fx.set().existing(WindowId::Sheet), nullptr);
        QCOMPARE(fx.set().existing(WindowId::Help), nullptr);
    }

    void copyPutsHtmlWithTheDrawingAndPlainText()
    {
        field("Form1", "Text1")->setText("10");
        field("Form1", "Text2")->setText("30");
        pressCtrlPIn(field("Form1", "Text2"));
        QVERIFY(QTest::qWaitForWindowActive(sheetWindow()));
        QApplication::clipboard()->clear();
        Fixture::control<QPushButton>("SheetWindow", "sheetCopy")->click();
        const QMimeData *data = QApplication::clipboard()->mimeData();
        QVERIFY(data);
        QVERIFY(data->hasHtml());
        QVERIFY(data->html().contains("<img"));
        QVERIFY(data->html().contains("data:image/png;base64,"));
        QVERIFY(data->hasImage());
        const QImage image = qvariant_cast<QImage>(data->imageData());
        QVERIFY(!image.isNull());
        QVERIFY(data->hasText());
        QVERIFY(data->text().contains("单根避雷针保护范围计算书"));
        QVERIFY(data->text().contains("51.962"));
        QVERIFY(!data->text().contains("<"));
    }

    void exportWritesAPdfWhereTheUserChose()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        gPdfAnswer = folder.filePath("sheet.pdf");
        field("Form1", "Text1")->setText("10");
        field("Form1", "Text2")->setText("30");
        pressCtrlPIn(field("Form1", "Text2"));
        QVERIFY(QTest::qWaitForWindowActive(sheetWindow()));
        Fixture::control<QPushButton>("SheetWindow", "sheetPdf")->click();
        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        QCOMPARE(gPdfProposals,
                 QStringList{QDir(documents).filePath("单根避雷针保护范围计算书.pdf")});
        QVERIFY(contentsOf(gPdfAnswer).startsWith("%PDF"));
        const QString text = pdfText(gPdfAnswer);
        QVERIFY2(text.contains("单根避雷针保护范围计算书"), qPrintable(text));

        // Ctrl+S does the same; a cancelled dialog writes nothing.
        QFile::remove(gPdfAnswer);
        Fixture::focus(sheetText());
        Fixture::press(Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(gPdfProposals.size(), 2);
        QVERIFY(QFile::exists(gPdfAnswer));
        QFile::remove(gPdfAnswer);
        const QString chosen = gPdfAnswer;
        gPdfAnswer.clear();
        Fixture::control<QPushButton>("SheetWindow", "sheetPdf")->click();
        QCOMPARE(gPdfProposals.size(), 3);
        QVERIFY(!QFile::exists(chosen));
        QCOMPARE(fx.boxes.count(), 0);
    }

    void aFailedExportSaysWhyAndHarmsNothing()
    {
        // A folder that is a regular file stops even root.
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString existing = folder.filePath("existing.pdf");
        const QByteArray before("%PDF-1.4 an earlier sheet\n");
        {
            QFile file(existing);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(before);
        }
        gPdfAnswer = existing + "/sheet.pdf";
        pressCtrlPIn(field("Form1", "Text1"));
        QVERIFY(QTest::qWaitForWindowActive(sheetWindow()));
        fx.boxes.expect(QMessageBox::Ok);
        Fixture::control<QPushButton>("SheetWindow", "sheetPdf")->click();
        QCOMPARE(fx.boxes.count(), 1);
        const guitest::Box box = fx.boxes.last();
        QCOMPARE(box.title, QStringLiteral("防雷计算"));
        QCOMPARE(box.icon, QMessageBox::Critical);
        QVERIFY2(box.text.startsWith("无法保存文件：" + gPdfAnswer + "\n"), qPrintable(box.text));
        QVERIFY(box.text.size() > QString("无法保存文件：" + gPdfAnswer + "\n").size());
        QCOMPARE(contentsOf(existing), before);
        QVERIFY(sheetWindow()->isVisible());
    }

    // A save whose writing fails, up to its very last bytes, says why and
    // leaves the folder as it was: no new, cut-off or temporary file, and an
    // existing file byte for byte. The size limit stands in for a full disk.
    void aSaveThatCannotBeWrittenSaysWhyAndLeavesNothing_data()
    {
        // The disk is full after `percent` % of the file less `less` bytes;
        // no limit for a negative percent.
        QTest::addColumn<QString>("target"); // relative to a fresh folder
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("less");
        QTest::addColumn<QString>("reason");
        const QString tooLarge = QString::fromLocal8Bit(std::strerror(EFBIG));
        QTest::newRow("folder missing") << "missing/sheet.pdf" << -1 << 0 << "不存在";
        QTest::newRow("full from the first byte") << "sheet.pdf" << 0 << 0 << tooLarge;
        QTest::newRow("full halfway") << "sheet.pdf" << 50 << 0 << tooLarge;
        QTest::newRow("full in the last bytes") << "sheet.pdf" << 100 << 40 << tooLarge;
    }
    void aSaveThatCannotBeWrittenSaysWhyAndLeavesNothing()
    {
        QFETCH(QString, target);
        QFETCH(int, percent);
        QFETCH(int, less);
        QFETCH(QString, reason);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        field("Form1", "Text1")->setText("10");
        field("Form1", "Text2")->setText("30");
        pressCtrlPIn(field("Form1", "Text2"));
        QVERIFY(QTest::qWaitForWindowActive(sheetWindow()));
        auto *pdfButton = Fixture::control<QPushButton>("SheetWindow", "sheetPdf");

        // The size of this sheet's file, from a save that works.
        gPdfAnswer = folder.filePath("measure.pdf");
        pdfButton->click();
        const qint64 size = QFileInfo(gPdfAnswer).size();
        QVERIFY(size > 1000);
        QVERIFY(QFile::remove(gPdfAnswer));
        const QByteArray before("%PDF-1.4 an earlier sheet\n");
        {
            QFile existing(folder.filePath("sheet.pdf"));
            QVERIFY(existing.open(QIODevice::WriteOnly));
            existing.write(before);
        }
        const QStringList entries = entriesOf(folder.path());

        gPdfAnswer = folder.filePath(target);
        fx.boxes.expect(QMessageBox::Ok);
        {
            std::optional<FileSizeLimit> limit;
            if (percent >= 0) limit.emplace(rlim_t(size * percent / 100 - less));
            pdfButton->click();
        }
        QCOMPARE(fx.boxes.count(), 1);
        const guitest::Box box = fx.boxes.last();
        QCOMPARE(box.title, QStringLiteral("防雷计算"));
        QCOMPARE(box.icon, QMessageBox::Critical);
        const QString heading = "无法保存文件：" + gPdfAnswer + "\n";
        QVERIFY2(box.text.startsWith(heading), qPrintable(box.text));
        QVERIFY2(box.text.mid(heading.size()).contains(reason), qPrintable(box.text));
        QCOMPARE(entriesOf(folder.path()), entries);
        QCOMPARE(contentsOf(folder.filePath("sheet.pdf")), before);
        QVERIFY(sheetWindow()->isVisible());
    }

    void printSendsTheSheetsPagesToThePrinter()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        gPrintAnswer = folder.filePath("printed.pdf");
        field("Form1", "Text1")->setText("10");
        field("Form1", "Text2")->setText("30");
        pressCtrlPIn(field("Form1", "Text2"));
        QVERIFY(QTest::qWaitForWindowActive(sheetWindow()));
        Fixture::control<QPushButton>("SheetWindow", "sheetPrint")->click();
        QCOMPARE(gPrintAsks, 1);
        QCOMPARE(gPrintPageSize, QPageSize::A4);
        QCOMPARE(gPrintDocName, QStringLiteral("单根避雷针保护范围计算书"));
        QVERIFY(contentsOf(gPrintAnswer).startsWith("%PDF"));
        QVERIFY(pdfPages(gPrintAnswer) >= 1);
        // The pages of the sheet shown: ro = √(30·90) = 51.9615.
        const QString text = pdfText(gPrintAnswer);
        QVERIFY2(text.contains("单根避雷针保护范围计算书"), qPrintable(text));
        QVERIFY(text.contains("51.962"));
        // The same pages as the exported file.
        gPdfAnswer = folder.filePath("exported.pdf");
        Fixture::control<QPushButton>("SheetWindow", "sheetPdf")->click();
        QCOMPARE(pdfPages(gPrintAnswer), pdfPages(gPdfAnswer));
        QCOMPARE(fx.boxes.count(), 0);
    }

    void aCancelledPrintPrintsNothingAndSaysNothing()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        pressCtrlPIn(field("Form1", "Text1"));
        QVERIFY(QTest::qWaitForWindowActive(sheetWindow()));
        Fixture::control<QPushButton>("SheetWindow", "sheetPrint")->click();
        QCOMPARE(gPrintAsks, 1);
        QCOMPARE(entriesOf(folder.path()), QStringList());
        QCOMPARE(fx.boxes.count(), 0);
        QVERIFY(sheetWindow()->isVisible());
    }

    void aPrinterThatCannotStartSaysSo()
    {
        // Printing to a file in a "folder" that is a regular file.
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString plain = folder.filePath("plain");
        {
            QFile file(plain);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        gPrintAnswer = plain + "/printed.pdf";
        pressCtrlPIn(field("Form1", "Text1"));
        QVERIFY(QTest::qWaitForWindowActive(sheetWindow()));
        fx.boxes.expect(QMessageBox::Ok);
        Fixture::control<QPushButton>("SheetWindow", "sheetPrint")->click();
        QCOMPARE(fx.boxes.count(), 1);
        QCOMPARE(fx.boxes.last().icon, QMessageBox::Critical);
        QVERIFY2(fx.boxes.last().text.startsWith("无法打印：" + gPrintAnswer + "\n"),
                 qPrintable(fx.boxes.last().text));
        QCOMPARE(entriesOf(folder.path()), QStringList{"plain"});
        QVERIFY(sheetWindow()->isVisible());
    }

private:
    Fixture fx;
};

QTEST_MAIN(SheetWindowTest)
#include "sheet_window_test.moc"
