// The ten parameter boxes of the main window, bound to the parameter-box
// model: the model decides and stores, this file mirrors its state into the
// combo boxes and hands it what the user does.
#include "app/ui/FrmMain.h"

#include "app/ParameterBoxes.h"
#include "app/ui/ParameterBoxDelegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

QComboBox* TfrmMain::ParameterCombo(TParamBox box) const
{
    switch (box) {
    case TParamBox::VideoSize:
        return cmbVideoSize;
    case TParamBox::VideoBitRate:
        return cmbVideoBitRate;
    case TParamBox::FrameRate:
        return cmbFrameRate;
    case TParamBox::VideoEncoder:
        return cmbVideoEncoder;
    case TParamBox::Zoom:
        return cmbZoom;
    case TParamBox::SampleRate:
        return cmbSamplerate;
    case TParamBox::AudioBitRate:
        return cmbAudioBitRate;
    case TParamBox::AudioEncoder:
        return cmbAudioEncoder;
    case TParamBox::Channel:
        return cmbChannel;
    case TParamBox::Volume:
        return cmbVolume;
    }
    return nullptr;
}

void TfrmMain::BindParameterBoxes()
{
    auto* look = new TParameterBoxDelegate(this);
    for (int i = 0; i < ParamBoxCount; ++i) {
        const auto box = TParamBox(i);
        QComboBox* combo = ParameterCombo(box);
        combo->setItemDelegate(look);
        connect(combo, &QComboBox::activated, this, [this, box](int index) {
            parameters_->SelectItem(box, index);
            ParameterBoxChosen(box);
        });
        if (combo->lineEdit())
            connect(combo->lineEdit(), &QLineEdit::textEdited, this, [this, box](const QString& text) {
                parameters_->SetText(box, text);
                ParameterBoxEdited(box);
            });
    }
    parameters_->OnBoxChanged = [this](TParamBox box) { ShowParameterBox(box); };
    connect(qApp, &QApplication::focusChanged, this, &TfrmMain::ParameterBoxFocusChanged);
    connect(edt1, &QLineEdit::textChanged, this, &TfrmMain::edt1Change);
    connect(btnDefault, &QPushButton::clicked, this, &TfrmMain::btnDefaultClick);
}

void TfrmMain::ShowParameterBox(TParamBox box)
{
    const TParamBoxState& state = parameters_->Box(box);
    QComboBox* combo = ParameterCombo(box);
    const QSignalBlocker quiet(combo);

    QStringList shown;
    for (int i = 0; i < combo->count(); ++i)
        shown << combo->itemText(i);
    if (shown != state.Items) {
        combo->clear();
        combo->addItems(state.Items);
    }
    if (combo->currentIndex() != state.ItemIndex)
        combo->setCurrentIndex(state.ItemIndex);
    // Typed text stays as typed, also when it matches an item in another case.
    if (combo->isEditable() && combo->currentText() != state.Text)
        combo->setEditText(state.Text);

    combo->setEnabled(state.Enabled);
    combo->setMaxVisibleItems(std::max(1, state.DropDownCount));
    QPalette text;
    const QColor colour =
        state.GreyText ? palette().color(QPalette::Disabled, QPalette::Text) : QColor(Qt::black);
    text.setColor(QPalette::Text, colour);
    text.setColor(QPalette::ButtonText, colour);
    combo->setPalette(text);
}

void TfrmMain::ParameterBoxChosen(TParamBox box)
{
    switch (box) {
    case TParamBox::VideoSize:
        cmbVideoSizeSelect();
        break;
    case TParamBox::VideoBitRate:
        cmbVideoBitRateChange();
        break;
    case TParamBox::FrameRate:
        cmbFrameRateChange();
        break;
    case TParamBox::VideoEncoder:
        cmbVideoEncoderChange();
        break;
    case TParamBox::Zoom:
        cmbZoomChange();
        break;
    case TParamBox::SampleRate:
        cmbSamplerateChange();
        break;
    case TParamBox::AudioBitRate:
        cmbAudioBitRateChange();
        break;
    case TParamBox::AudioEncoder:
        cmbAudioEncoderChange();
        break;
    case TParamBox::Channel:
        cmbChannelChange();
        break;
    case TParamBox::Volume:
        cmbVolumeChange();
        break;
    }
}

void TfrmMain::ParameterBoxEdited(TParamBox box)
{
    // The frame size is checked when the box is left, the others at once.
    switch (box) {
    case TParamBox::VideoBitRate:
        cmbVideoBitRateChange();
        break;
    case TParamBox::SampleRate:
        cmbSamplerateChange();
        break;
    case TParamBox::AudioBitRate:
        cmbAudioBitRateChange();
        break;
    default:
        break;
    }
}

bool TfrmMain::ParameterBoxEvent(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto isBox = [watched](QComboBox* combo) { return watched == combo; };

    const auto* key = static_cast<QKeyEvent*>(event);
    // Keys that type nothing (arrows, Delete, Home) and focus moves pass.
    if (key->text().isEmpty() || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
        return false;
    const QChar typed = key->text().at(0);
    if (isBox(cmbVideoSize))
        return !cmbVideoSizeKeyPress(typed);
    if (isBox(cmbVideoBitRate))
        return !cmbVideoBitRateKeyPress(typed);
    if (isBox(cmbSamplerate))
        return !cmbSamplerateKeyPress(typed);
    if (isBox(cmbAudioBitRate))
        return !cmbAudioBitRateKeyPress(typed);
    return false;
}

void TfrmMain::ParameterBoxFocusChanged(QWidget* old, QWidget* now)
{
    // The frame-size box is left when another control of this window takes
    // the focus; its own drop-down list, a message box or another program
    // taking it does not count.
    auto within = [](const QWidget* w, const QComboBox* box) {
        return w && (w == box || box->isAncestorOf(w) || w->window() == box->view()->window());
    };
    if (!within(old, cmbVideoSize) || !now || within(now, cmbVideoSize) || now->window() != this)
        return;
    cmbVideoSizeExit();
}

void TfrmMain::edt1Change()
{
    // A profile never edited gets its catalogue defaults written, so what is
    // shown is what is converted.
    parameters_->SetFormatCode(CurrentFormatCode);
    parameters_->LoadProfileWithDefaults();
}

void TfrmMain::btnDefaultClick()
{
    parameters_->SetFormatCode(CurrentFormatCode);
    parameters_->Default();
}

void TfrmMain::cmbVideoEncoderChange()
{
    parameters_->VideoEncoderChange();
}
void TfrmMain::cmbVideoBitRateChange()
{
    parameters_->VideoBitRateChange();
}
void TfrmMain::cmbFrameRateChange()
{
    parameters_->FrameRateChange();
}
void TfrmMain::cmbZoomChange()
{
    parameters_->ZoomChange();
}
void TfrmMain::cmbSamplerateChange()
{
    parameters_->SampleRateChange();
}
void TfrmMain::cmbAudioEncoderChange()
{
    parameters_->AudioEncoderChange();
}
void TfrmMain::cmbAudioBitRateChange()
{
    parameters_->AudioBitRateChange();
}
void TfrmMain::cmbChannelChange()
{
    parameters_->ChannelChange();
}
void TfrmMain::cmbVolumeChange()
{
    parameters_->VolumeChange();
}
void TfrmMain::cmbVideoSizeSelect()
{
    parameters_->VideoSizeSelect();
}

bool TfrmMain::cmbVideoSizeExit()
{
    return parameters_->VideoSizeExit();
}

bool TfrmMain::cmbVideoSizeKeyPress(QChar key)
{
    return parameters_->VideoSizeKeyPress(key);
}

bool TfrmMain::cmbVideoBitRateKeyPress(QChar key)
{
    return parameters_->NumericKeyPress(TParamBox::VideoBitRate, key);
}

bool TfrmMain::cmbSamplerateKeyPress(QChar key)
{
    return parameters_->NumericKeyPress(TParamBox::SampleRate, key);
}

bool TfrmMain::cmbAudioBitRateKeyPress(QChar key)
{
    return parameters_->NumericKeyPress(TParamBox::AudioBitRate, key);
}
