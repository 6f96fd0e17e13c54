#include "MainWindowFixture.h"

#include "app/ui/ParameterBoxDelegate.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTreeWidget>

namespace {

// One video profile (code 1).
const char* const Catalogue = R"([formatInfo1]
Format=ipod
FileExt=mp4
VideoSize=320x240,640x480,as source
VideoBitRate=768,1500,as source
FrameRate=25,29.97,as source
VideoEncoder=MPEG-4,H264
AudioBitRate=96,128,as source
SampleRate=44100,48000,as source
AudioEncoder=AAC
Channel=stereo 2 channels,mono 1 channel
Volume=100%,150%
iVideoSize=1
iVideoBitRate=1
iFrameRate=1
iVideoEncoder=0
iAudioBitRate=1
iSampleRate=1
iChannel=0
iVolume=1
iAudioEncoder=0
)";

QStringList items(const QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

// The main window over the catalogue above with profile 1 loaded.
struct TProfileWindow : TMainWindowFixture
{
    explicit TProfileWindow(const TSettings& settings = {}) : TMainWindowFixture(settings, Catalogue)
    {
        Show();
        Window->edt1->setText(QStringLiteral("iPod Video H.264 (*.mp4)"));
    }

    QString Value(const char* key) const
    {
        return Settings().ReadString(QStringLiteral("formatInfo1"), QLatin1String(key),
                                     QStringLiteral("<none>"));
    }

    // Gives the box the focus and types into it as a user would.
    void Type(QComboBox* box, const QString& text)
    {
        box->setFocus();
        box->lineEdit()->selectAll();
        QTest::keyClicks(box, text);
    }

    // Moves the focus away from a box, as a click elsewhere does.
    void Leave() { Window->cmbFrameRate->setFocus(Qt::MouseFocusReason); }
};

} // namespace

class TestMainWindowParameters : public QObject
{
    Q_OBJECT

private slots:
    void aNeverEditedProfileShowsAndStoresItsDefaults()
    {
        TProfileWindow f;
        TfrmMain& w = *f.Window;
        QCOMPARE(items(w.cmbVideoSize), (QStringList{"320x240", "640x480", "as source"}));
        QCOMPARE(w.cmbVideoSize->currentText(), QStringLiteral("640x480"));
        QCOMPARE(w.cmbVideoBitRate->currentText(), QStringLiteral("1500"));
        QCOMPARE(w.cmbFrameRate->currentText(), QStringLiteral("29.97"));
        QCOMPARE(w.cmbVideoEncoder->currentText(), QStringLiteral("MPEG-4"));
        QCOMPARE(w.cmbZoom->currentText(), QStringLiteral("Letter Box"));
        QCOMPARE(w.cmbSamplerate->currentText(), QStringLiteral("48000"));
        QCOMPARE(w.cmbAudioBitRate->currentText(), QStringLiteral("128"));
        QCOMPARE(w.cmbChannel->currentText(), QStringLiteral("stereo 2 channels"));
        QCOMPARE(w.cmbVolume->currentText(), QStringLiteral("150%"));
        QCOMPARE(w.cmbVideoSize->maxVisibleItems(), 3);

        // What is shown is what the conversion will read.
        QCOMPARE(f.Value("paraVideoSize"), QStringLiteral("640x480"));
        QCOMPARE(f.Value("paraVideoEncoder"), QStringLiteral("mpeg4"));
        QCOMPARE(f.Value("paraZoom"), QStringLiteral("lbox"));
        QCOMPARE(f.Value("paraVolume"), QStringLiteral("384"));
        QVERIFY(f.Dialogs.Boxes.empty());
    }

    void anEditedProfileShowsTheUsersChoices()
    {
        TProfileWindow f;
        // Edit, then load the profile again.
        f.Window->cmbVideoEncoder->setCurrentIndex(1);
        emit f.Window->cmbVideoEncoder->activated(1);
        QCOMPARE(f.Value("paraVideoEncoder"), QStringLiteral("libx264"));
        f.Settings().WriteString("formatInfo1", "paraVideoSize", "400x300");
        f.Window->edt1->setText(QStringLiteral("another name, same code"));
        QCOMPARE(f.Window->cmbVideoEncoder->currentText(), QStringLiteral("H264"));
        QCOMPARE(f.Window->cmbVideoSize->currentText(), QStringLiteral("400x300"));
        QCOMPARE(f.Window->cmbVideoSize->currentIndex(), -1);
    }

    void choosingItemsStoresThem()
    {
        TProfileWindow f;
        TfrmMain& w = *f.Window;
        w.cmbChannel->setCurrentIndex(1);
        emit w.cmbChannel->activated(1);
        QCOMPARE(f.Value("paraChannel"), QStringLiteral("1"));
        QCOMPARE(f.Value("iChannel"), QStringLiteral("1"));

        w.cmbVideoSize->setCurrentIndex(2);
        emit w.cmbVideoSize->activated(2);
        QCOMPARE(f.Value("paraVideoSize"), QStringLiteral("as source"));
        QCOMPARE(f.Value("iVideoSize"), QStringLiteral("2"));

        w.cmbZoom->setCurrentIndex(2);
        emit w.cmbZoom->activated(2);
        QCOMPARE(f.Value("paraZoom"), QStringLiteral("pan"));
    }

    void typedBitRatesAreCheckedAsTheyAreTyped()
    {
        TProfileWindow f;
        TfrmMain& w = *f.Window;
        f.Type(w.cmbVideoBitRate, QStringLiteral("1200"));
        QCOMPARE(w.cmbVideoBitRate->currentText(), QStringLiteral("1200"));
        QCOMPARE(f.Value("paraVideoBitRate"), QStringLiteral("1200"));
        QCOMPARE(f.Value("iVideoBitRate"), QStringLiteral("-1"));
        QVERIFY(f.Dialogs.Boxes.empty());

        // A letter never reaches the box.
        QTest::keyClicks(w.cmbVideoBitRate, QStringLiteral("k"));
        QCOMPARE(w.cmbVideoBitRate->currentText(), QStringLiteral("1200"));
        QCOMPARE(f.Dialogs.Boxes.size(), size_t(1));
        QCOMPARE(f.Dialogs.Boxes[0].Text, QStringLiteral("Please enter numerical."));
        QCOMPARE(f.Dialogs.Beeps, 1);

        // Deleting everything is rejected at once; the box shows its second item.
        w.cmbVideoBitRate->lineEdit()->selectAll();
        QTest::keyClick(w.cmbVideoBitRate, Qt::Key_Backspace);
        QCOMPARE(f.Dialogs.Boxes.back().Text, QStringLiteral("Video BitRate is not a valid value!"));
        QCOMPARE(w.cmbVideoBitRate->currentText(), QStringLiteral("1500"));
        QCOMPARE(f.Value("paraVideoBitRate"), QStringLiteral("1200"));

        f.Type(w.cmbSamplerate, QStringLiteral("32000"));
        QCOMPARE(f.Value("paraSampleRate"), QStringLiteral("32000"));
        f.Type(w.cmbAudioBitRate, QStringLiteral("112"));
        QCOMPARE(f.Value("paraAudioBitRate"), QStringLiteral("112"));
    }

    void theFrameSizeIsCheckedWhenTheBoxIsLeft()
    {
        TProfileWindow f;
        TfrmMain& w = *f.Window;
        f.Type(w.cmbVideoSize, QStringLiteral("641x480"));
        QCOMPARE(f.Value("paraVideoSize"), QStringLiteral("640x480")); // the never-edited defaults
        QVERIFY(f.Dialogs.Boxes.empty());

        f.Leave();
        QCOMPARE(f.Dialogs.Boxes.size(), size_t(1));
        QCOMPARE(f.Dialogs.Boxes[0].Text,
                 QStringLiteral("Frame Size must be a multiple of 2.\nThe correct value:640x480"));
        QCOMPARE(f.Dialogs.Boxes[0].Caption, QStringLiteral("Input Error!"));
        QCOMPARE(w.cmbVideoSize->currentText(), QStringLiteral("640x480"));
        QCOMPARE(f.Value("paraVideoSize"), QStringLiteral("640x480"));

        f.Type(w.cmbVideoSize, QStringLiteral("400x300"));
        f.Leave();
        QCOMPARE(f.Value("paraVideoSize"), QStringLiteral("400x300"));
        QCOMPARE(f.Value("iVideoSize"), QStringLiteral("0"));

        // "x" only once; other letters never; both beep without a message.
        const int boxes = int(f.Dialogs.Boxes.size());
        QTest::keyClicks(w.cmbVideoSize, QStringLiteral("xq"));
        QCOMPARE(w.cmbVideoSize->currentText(), QStringLiteral("400x300"));
        QCOMPARE(f.Dialogs.Beeps, 2);
        QCOMPARE(int(f.Dialogs.Boxes.size()), boxes);
    }

    void openingTheListDoesNotLeaveTheFrameSizeBox()
    {
        TProfileWindow f;
        f.Type(f.Window->cmbVideoSize, QStringLiteral("641x480"));
        f.Window->cmbVideoSize->showPopup();
        QTest::qWait(20);
        f.Window->cmbVideoSize->hidePopup();
        QVERIFY(f.Dialogs.Boxes.empty());
    }

    void defaultRestoresTheCatalogueChoices()
    {
        TProfileWindow f;
        TfrmMain& w = *f.Window;
        w.cmbVolume->setCurrentIndex(0);
        emit w.cmbVolume->activated(0);
        f.Type(w.cmbVideoBitRate, QStringLiteral("999"));
        QCOMPARE(f.Value("paraVolume"), QStringLiteral("256"));

        QTest::mouseClick(w.btnDefault, Qt::LeftButton);
        QCOMPARE(w.cmbVolume->currentText(), QStringLiteral("150%"));
        QCOMPARE(w.cmbVideoBitRate->currentText(), QStringLiteral("1500"));
        QCOMPARE(w.cmbZoom->currentText(), QStringLiteral("Full Screen"));
        QCOMPARE(f.Value("paraVolume"), QStringLiteral("384"));
        QCOMPARE(f.Value("paraVideoBitRate"), QStringLiteral("1500"));
        QCOMPARE(f.Value("paraZoom"), QStringLiteral("full"));
    }

    void aProfileWithoutCatalogueSectionDisablesEveryBox()
    {
        TMainWindowFixture f({{"FormatCode", "777"}}, Catalogue);
        f.Settings().WriteString("formatInfo777", "paraVideoSize", "320x240");
        QVERIFY(f.Show());
        f.Window->edt1->setText(QStringLiteral("a profile the catalogue lacks"));
        for (QComboBox* box : {f.Window->cmbVideoSize, f.Window->cmbVideoBitRate, f.Window->cmbFrameRate,
                               f.Window->cmbVideoEncoder, f.Window->cmbSamplerate, f.Window->cmbAudioBitRate,
                               f.Window->cmbAudioEncoder, f.Window->cmbChannel, f.Window->cmbVolume})
            QVERIFY(!box->isEnabled());
        QCOMPARE(f.Window->cmbVideoSize->count(), 0);
    }

    void itemLook()
    {
        QStandardItemModel model;
        model.appendRow(new QStandardItem(QStringLiteral("stereo 2 channels")));
        TParameterBoxDelegate look;
        QImage picture(120, 20, QImage::Format_RGB32);

        auto paint = [&](QStyle::State state) {
            picture.fill(Qt::red);
            QStyleOptionViewItem option;
            option.rect = picture.rect();
            option.state = state;
            option.font = QApplication::font();
            option.fontMetrics = QFontMetrics(option.font);
            QPainter painter(&picture);
            look.paint(&painter, option, model.index(0, 0));
        };

        paint(QStyle::State_Enabled | QStyle::State_Selected);
        QCOMPARE(picture.pixelColor(0, 0), QColor(Qt::white));
        QCOMPARE(picture.pixelColor(1, 10), QColor(Qt::white));
        QCOMPARE(picture.pixelColor(2, 10), TParameterBoxDelegate::FocusFrame());
        QCOMPARE(picture.pixelColor(60, 2), TParameterBoxDelegate::FocusFrame());
        QCOMPARE(picture.pixelColor(117, 10), TParameterBoxDelegate::FocusFrame());
        QCOMPARE(picture.pixelColor(60, 17), TParameterBoxDelegate::FocusFrame());
        QCOMPARE(picture.pixelColor(118, 3), QColor(Qt::white));
        QCOMPARE(picture.pixelColor(115, 4), TParameterBoxDelegate::FocusFill());

        paint(QStyle::State_Enabled);
        QCOMPARE(picture.pixelColor(2, 10), QColor(Qt::white));
        QCOMPARE(picture.pixelColor(115, 4), QColor(Qt::white));
        // The text is dark (black, smoothed at its edges) and starts 3 pixels in.
        bool black = false;
        for (int y = 0; y < picture.height(); ++y) {
            QVERIFY(picture.pixelColor(2, y) == QColor(Qt::white));
            for (int x = 3; x < 20; ++x)
                black = black || qGray(picture.pixel(x, y)) < 64;
        }
        QVERIFY(black);

        const QFontMetrics metrics(QApplication::font());
        const QString cut =
            TParameterBoxDelegate::DisplayText(metrics, QStringLiteral("a very long encoder name"), 40);
        QVERIFY(cut.endsWith(QChar(0x2026)));
        QVERIFY(metrics.horizontalAdvance(cut) <= 40);
        QCOMPARE(TParameterBoxDelegate::DisplayText(metrics, QStringLiteral("AAC"), 100),
                 QStringLiteral("AAC"));
    }

    void everyBoxSharesTheLook()
    {
        TProfileWindow f;
        auto* look = qobject_cast<TParameterBoxDelegate*>(f.Window->cmbVideoSize->itemDelegate());
        QVERIFY(look);
        for (QComboBox* box : {f.Window->cmbVideoBitRate, f.Window->cmbFrameRate, f.Window->cmbVideoEncoder,
                               f.Window->cmbZoom, f.Window->cmbSamplerate, f.Window->cmbAudioBitRate,
                               f.Window->cmbAudioEncoder, f.Window->cmbChannel, f.Window->cmbVolume})
            QCOMPARE(box->itemDelegate(), look);
    }
};

QTEST_MAIN(TestMainWindowParameters)
#include "test_main_window_parameters.moc"
