#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <span>

// The ten parameter boxes of a profile as a model without widgets: loading a
// profile's lists and the user's choices, the "Default" command, the change
// handlers that store each choice in the profile's settings section, the
// validation of typed values and the key filters. The main window and the
// per-format settings editor mirror this state in their combo boxes; the
// command-line converter uses it to prepare a profile that was never edited.

enum class TParamBox {
    VideoSize,
    VideoBitRate,
    FrameRate,
    VideoEncoder,
    Zoom,
    SampleRate,
    AudioBitRate,
    AudioEncoder,
    Channel,
    Volume,
};
constexpr int ParamBoxCount = 10;

struct TParamBoxState {
    QStringList Items;
    int ItemIndex = -1;
    QString Text;           // the edit text of an editable box, the selected item's text otherwise
    bool Enabled = true;
    bool GreyText = false;  // drawn in the system's grey-text colour
    int DropDownCount = 8;
};

class TParameterBoxes {
public:
    TParameterBoxes(QString settingsFile, QString formatFile);

    // The profile all handlers address: sections "formatInfo" + code.
    void SetFormatCode(const QString& code) { formatCode_ = code; }
    const QString& FormatCode() const { return formatCode_; }
    QString Section() const { return QStringLiteral("formatInfo") + formatCode_; }

    const TParamBoxState& Box(TParamBox box) const { return boxes_[int(box)]; }
    // Editable boxes take typed text; the others are drop-down lists.
    static bool IsEditable(TParamBox box);

    // Called after the model changed a box, so a window can mirror it.
    std::function<void(TParamBox)> OnBoxChanged;

    // What the user does to a box; the window calls the matching handler after.
    void SelectItem(TParamBox box, int index);
    void SetText(TParamBox box, const QString& text);

    // edt1Change: fill the boxes from the catalogue and the user's choices.
    void LoadProfile();
    // edt1Change for windows and the command-line converter: a profile whose
    // settings section does not exist yet is given the catalogue's defaults
    // (written through the change handlers) with "Letter Box" zoom, so what is
    // shown and what is converted are the profile's own defaults.
    void LoadProfileWithDefaults();
    // btnDefaultClick.
    void Default() { applyDefaults(0); }

    void VideoEncoderChange();
    void VideoBitRateChange();
    void FrameRateChange();
    void ZoomChange();
    void SampleRateChange();
    void AudioEncoderChange();
    void AudioBitRateChange();
    void ChannelChange();
    void VolumeChange();
    void VideoSizeSelect();
    // Validates and stores the frame size; false when the text was rejected.
    bool VideoSizeExit();

    // Key filters: true when the key goes to the box. A rejected key beeps
    // (the bit-rate and sample-rate boxes first say "Please enter numerical.").
    bool NumericKeyPress(TParamBox box, QChar key);
    bool VideoSizeKeyPress(QChar key);

private:
    TParamBoxState& box(TParamBox b) { return boxes_[int(b)]; }
    void changed(TParamBox b);
    void fillFromCatalogue(TParamBox b, const QString& catalogueKey, bool emptyDisables);
    void selectByText(TParamBox b, const QString& text);
    void selectByIndex(TParamBox b, int index);
    void setGroupEnabled(std::span<const TParamBox> group, bool enabled);
    void applyDefaults(int zoomIndex);
    bool validateNumber(TParamBox b, const QString& indexKey, const QString& valueKey,
                        const QString& message, bool allowDecimal);
    void rejectTo2ndItem(TParamBox b);
    int indexOfText(TParamBox b, const QString& text) const;

    QString settingsFile_;
    QString formatFile_;
    QString formatCode_ = QStringLiteral("1");
    std::array<TParamBoxState, ParamBoxCount> boxes_;
};
