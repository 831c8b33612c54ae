#include <QApplication>
#include <QDate>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "display_fixture.h"
#include "settings/ini_file.h"

using Kind = ScriptedOperatorDialogs::Kind;

namespace {

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

const QByteArray headerMax =
    "Device type;Serial number;Date;Time;SW version;Mode;Range;Distance;Measured value;"
    "Neg. max.;Pos. max.;Unit;Comment\r\n";
const QByteArray headerMin =
    "Device type;Serial number;Date;Time;SW version;Mode;Range;Distance;Measured value;"
    "Neg. min.;Pos. min.;Unit;Comment\r\n";

// The fields of a record line, without its CR LF.
QStringList fieldsOf(const QByteArray& line) {
    EXPECT_TRUE(line.endsWith("\r\n"));
    return QString::fromLocal8Bit(line.chopped(2)).split(QLatin1Char(';'));
}

QList<QByteArray> linesOf(const QByteArray& bytes) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype end = bytes.indexOf("\r\n", start);
        const qsizetype next = end < 0 ? bytes.size() : end + 2;
        lines.append(bytes.mid(start, next - start));
        start = next;
    }
    return lines;
}

}  // namespace

// Device type 115 in the field meter mode, range 5kV/m, under a decimal point.
class RecordSaving : public DisplayTestOf<115> {
protected:
    // Measures 3.10, -1.20 and 2.50 kV/m and presses Break.
    void measureExample() {
        sim.setValues({0, 1240, 480, 1000});
        runMeasuring(4, [&](int read) {
            sim.setStatus(read == 3 ? std::optional<std::uint8_t>(0x10) : std::nullopt);
        });
    }

    void save(const QString& comment, const QString& path) {
        dialogs.queueInput(comment);
        dialogs.queueSaveFile(path);
        display->BitBtnSavedataClick();
    }

    QString file(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
};

TEST_F(RecordSaving, NewFileHoldsTheHeaderAndTheExampleLine) {
    prepare();
    measureExample();
    ASSERT_TRUE(display->BitBtnSavedata->isEnabled());
    save("Test", file("record.csv"));

    const QList<QByteArray> lines = linesOf(bytesOf(file("record.csv")));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], headerMax);
    const QStringList fields = fieldsOf(lines[1]);
    ASSERT_EQ(fields.size(), 13);
    EXPECT_EQ(fields[0], "Zalvo 115");
    EXPECT_EQ(fields[1], "12340417");
    EXPECT_EQ(fields[2], QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
    EXPECT_TRUE(QRegularExpression("^\\d{1,2}:\\d\\d:\\d\\d( [AP]M)?$").match(fields[3]).hasMatch())
        << fields[3].toStdString();
    EXPECT_EQ(fields[4], "133");
    EXPECT_TRUE(lines[1].endsWith(";133;E-Fieldmeter;5kV/m;;2.50;-1.20;3.10;kV/m;Test\r\n"));

    const QList<ScriptedOperatorDialogs::ShownBox>& boxes = dialogs.shown();
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_EQ(boxes[0].kind, Kind::Input);
    EXPECT_EQ(boxes[0].caption, "Input dialog");
    EXPECT_EQ(boxes[0].text, "Input comment to the measurement");
    EXPECT_EQ(boxes[1].kind, Kind::SaveFile);
    EXPECT_EQ(boxes[1].saveRequest.defaultSuffix, "CSV");
    EXPECT_EQ(boxes[1].saveRequest.filters, QStringList({"Comma-Separated Values (*.CSV)",
                                                         "Text files (*.txt)", "All files (*.*)"}));
    EXPECT_EQ(boxes[1].saveRequest.initialDirectory, main->dataDirectory);
    EXPECT_EQ(readIniString(settingsFilePath(), "Display", "DataDirectory", "<none>"),
              dir.path() + "/");
}

TEST_F(RecordSaving, SecondSaveAppendsOneLineAndNoHeaderWhateverTheDepiction) {
    prepare();
    measureExample();
    const QString path = file("record.csv");
    save("first", path);
    const QByteArray afterFirst = bytesOf(path);
    main->displayDepiction = 1;
    save("second", path);
    const QByteArray afterSecond = bytesOf(path);

    ASSERT_TRUE(afterSecond.startsWith(afterFirst));
    const QList<QByteArray> added = linesOf(afterSecond.mid(afterFirst.size()));
    ASSERT_EQ(added.size(), 1);
    const QStringList fields = fieldsOf(added[0]);
    EXPECT_EQ(fields.mid(4, 8), fieldsOf(linesOf(afterFirst)[1]).mid(4, 8));
    EXPECT_EQ(fields.last(), "second");
}

TEST_F(RecordSaving, MinimumDepictionFileGetsTheMinimumHeader) {
    main->displayDepiction = 1;
    prepare();
    measureExample();
    save("", file("min.csv"));
    EXPECT_EQ(linesOf(bytesOf(file("min.csv"))).first(), headerMin);
}

TEST_F(RecordSaving, ExistingFilesAreAppendedToAsTheyAre) {
    prepare();
    measureExample();
    writeBytes(file("empty.csv"), "");
    save("x", file("empty.csv"));
    const QByteArray empty = bytesOf(file("empty.csv"));
    EXPECT_EQ(linesOf(empty).size(), 1);
    EXPECT_TRUE(empty.endsWith(";kV/m;x\r\n"));
    EXPECT_FALSE(empty.startsWith("Device type"));

    writeBytes(file("open.csv"), "a;b\r\nunfinished");
    save("y", file("open.csv"));
    const QByteArray open = bytesOf(file("open.csv"));
    EXPECT_TRUE(open.startsWith("a;b\r\nunfinishedZalvo 115;12340417;"));
    EXPECT_TRUE(open.endsWith(";kV/m;y\r\n"));
}

TEST_F(RecordSaving, CommentIsWrittenAsTypedAndCancelLeavesItEmpty) {
    prepare();
    measureExample();
    save("one;two", file("c.csv"));
    dialogs.queueInputCancel();
    dialogs.queueSaveFile(file("c.csv"));
    display->BitBtnSavedataClick();
    const QList<QByteArray> lines = linesOf(bytesOf(file("c.csv")));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(fieldsOf(lines[1]).size(), 14);
    EXPECT_TRUE(lines[1].endsWith(";kV/m;one;two\r\n"));
    EXPECT_TRUE(lines[2].endsWith(";kV/m;\r\n"));
}

TEST_F(RecordSaving, CancelledSaveDialogWritesNothing) {
    prepare();
    measureExample();
    dialogs.queueInput("nothing");
    display->BitBtnSavedataClick();
    EXPECT_FALSE(QFileInfo::exists(settingsFilePath()));
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    // The identity fields and the comment were taken all the same.
    EXPECT_EQ(display->measurementRecord.recComment, "nothing");
    EXPECT_EQ(display->measurementRecord.recSerialNumber, "12340417");
}

TEST_F(RecordSaving, SaveAfterANewPreparationWritesTheLastMeasurementsTexts) {
    prepare();
    measureExample();
    display->BitBtn_backClick();
    main->Button_Start_DisplayClick();
    ASSERT_EQ(display->Label_measuredValue->text(), "0");
    ASSERT_EQ(display->Label_pos_maxValue->text(), "0");
    save("Test", file("later.csv"));
    EXPECT_TRUE(
        bytesOf(file("later.csv")).endsWith(";E-Fieldmeter;5kV/m;;2.50;-1.20;3.10;kV/m;Test\r\n"));
}

TEST_F(RecordSaving, SettingsThatCannotBeWrittenStopTheSave) {
    prepare();
    measureExample();
    ASSERT_TRUE(QDir().mkpath(settingsFilePath()));
    writeBytes(file("kept.csv"), "kept\r\n");
    save("x", file("kept.csv"));
    save("x", file("new.csv"));
    EXPECT_EQ(dialogs.count(Kind::Error), 2);
    EXPECT_TRUE(dialogs.shown().last().text.contains(settingsFilePath()));
    EXPECT_EQ(bytesOf(file("kept.csv")), "kept\r\n");
    EXPECT_FALSE(QFileInfo::exists(file("new.csv")));
}

TEST_F(RecordSaving, FileThatCannotBeCreatedIsReported) {
    prepare();
    measureExample();
    const QString path = file("missing/record.csv");
    save("x", path);
    ASSERT_EQ(dialogs.count(Kind::Message), 1);
    EXPECT_EQ(dialogs.shown().last().text, "Can't create file : " + path);
    EXPECT_EQ(dialogs.shown().last().caption, "Error");
    EXPECT_EQ(dialogs.count(Kind::Error), 0);
}

TEST_F(RecordSaving, FileInUseByAnotherWriterIsReportedAndLeftAlone) {
    prepare();
    measureExample();
    const QString path = file("busy.csv");
    writeBytes(path, "header\r\nline\r\n");
    const int other = ::open(QFile::encodeName(path).constData(), O_WRONLY);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    save("x", path);
    ::close(other);
    ASSERT_EQ(dialogs.count(Kind::Error), 1);
    EXPECT_TRUE(dialogs.shown().last().text.contains(path));
    EXPECT_EQ(bytesOf(path), "header\r\nline\r\n");
}

TEST_F(RecordSaving, EnterSavesOnceSaveDataIsEnabledAndEscapeGoesBack) {
    prepare();
    // Enter goes to the default button when no button has the focus.
    display->setFocus();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(display.get(), &enter);
    EXPECT_EQ(dialogs.count(Kind::Input), 0);

    measureExample();
    QApplication::sendEvent(display.get(), &enter);
    EXPECT_EQ(dialogs.count(Kind::Input), 1);
    EXPECT_EQ(dialogs.count(Kind::SaveFile), 1);

    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(display.get(), &escape);
    EXPECT_FALSE(display->isVisible());
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(main->isEnabled());
}
