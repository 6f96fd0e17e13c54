#include "app/ParameterBoxes.h"

#include "app/IniFile.h"
#include "app/ParameterVocabulary.h"
#include "platform/DialogService.h"
#include "platform/NumberText.h"

namespace {

constexpr TParamBox kVideoGroup[] = {TParamBox::VideoSize, TParamBox::VideoBitRate, TParamBox::FrameRate,
                                     TParamBox::VideoEncoder, TParamBox::Zoom};
constexpr TParamBox kAudioGroup[] = {TParamBox::SampleRate, TParamBox::Channel, TParamBox::Volume,
                                     TParamBox::AudioEncoder, TParamBox::AudioBitRate};

bool isAsciiDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

constexpr QChar kBackspace = QChar(u'\b');

} // namespace

TParameterBoxes::TParameterBoxes(QString settingsFile, QString formatFile)
    : settingsFile_(std::move(settingsFile)), formatFile_(std::move(formatFile))
{
}

bool TParameterBoxes::IsEditable(TParamBox box)
{
    return box == TParamBox::VideoSize || box == TParamBox::VideoBitRate || box == TParamBox::SampleRate ||
           box == TParamBox::AudioBitRate;
}

void TParameterBoxes::changed(TParamBox b)
{
    if (OnBoxChanged)
        OnBoxChanged(b);
}

int TParameterBoxes::indexOfText(TParamBox b, const QString& text) const
{
    const QStringList& items = Box(b).Items;
    for (qsizetype i = 0; i < items.size(); ++i)
        if (items[i].compare(text, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

void TParameterBoxes::selectByIndex(TParamBox b, int index)
{
    TParamBoxState& s = box(b);
    if (index >= 0 && index < s.Items.size()) {
        s.ItemIndex = index;
        s.Text = s.Items[index];
    } else {
        s.ItemIndex = -1;
        s.Text.clear();
    }
    changed(b);
}

void TParameterBoxes::selectByText(TParamBox b, const QString& text)
{
    const int index = indexOfText(b, text);
    if (index >= 0) {
        selectByIndex(b, index);
        return;
    }
    TParamBoxState& s = box(b);
    s.ItemIndex = -1;
    s.Text = text;
    changed(b);
}

void TParameterBoxes::SelectItem(TParamBox b, int index)
{
    selectByIndex(b, index);
}

void TParameterBoxes::SetText(TParamBox b, const QString& text)
{
    TParamBoxState& s = box(b);
    s.Text = text;
    s.ItemIndex = indexOfText(b, text);
    changed(b);
}

void TParameterBoxes::fillFromCatalogue(TParamBox b, const QString& catalogueKey, bool emptyDisables)
{
    const QString value = IniFile(formatFile_).ReadString(Section(), catalogueKey, QStringLiteral("null"));
    TParamBoxState& s = box(b);
    s.Items.clear();
    s.ItemIndex = -1;
    s.Text.clear();
    if (value != QLatin1String("null") && !(emptyDisables && value.isEmpty())) {
        s.Items = ParseChoiceList(value);
        s.Enabled = true;
    } else {
        s.Enabled = false;
    }
    s.DropDownCount = int(s.Items.size());
    changed(b);
}

void TParameterBoxes::setGroupEnabled(std::span<const TParamBox> group, bool enabled)
{
    for (TParamBox b : group) {
        box(b).Enabled = enabled;
        box(b).GreyText = !enabled;
        changed(b);
    }
}

void TParameterBoxes::LoadProfile()
{
    const IniFile settings(settingsFile_);
    const QString section = Section();

    fillFromCatalogue(TParamBox::VideoSize, QStringLiteral("VideoSize"), false);
    fillFromCatalogue(TParamBox::VideoBitRate, QStringLiteral("VideoBitRate"), false);
    fillFromCatalogue(TParamBox::FrameRate, QStringLiteral("FrameRate"), false);
    fillFromCatalogue(TParamBox::VideoEncoder, QStringLiteral("VideoEncoder"), true);
    fillFromCatalogue(TParamBox::AudioBitRate, QStringLiteral("AudioBitRate"), true);
    fillFromCatalogue(TParamBox::SampleRate, QStringLiteral("SampleRate"), true);
    fillFromCatalogue(TParamBox::AudioEncoder, QStringLiteral("AudioEncoder"), true);
    fillFromCatalogue(TParamBox::Channel, QStringLiteral("Channel"), true);
    fillFromCatalogue(TParamBox::Volume, QStringLiteral("Volume"), true);

    const QString zoom = settings.ReadString(section, QStringLiteral("paraZoom"), QStringLiteral("full"));
    if (zoom != QLatin1String("null") && !zoom.isEmpty()) {
        box(TParamBox::Zoom).Items = ZoomItems();
        selectByIndex(TParamBox::Zoom, ZoomIndexForValue(zoom));
    } else {
        box(TParamBox::Zoom).Enabled = false;
        changed(TParamBox::Zoom);
    }

    const struct {
        TParamBox box;
        const char* key;
        const char* fallback;
    } typed[] = {{TParamBox::VideoSize, "paraVideoSize", "320x240"},
                 {TParamBox::VideoBitRate, "paraVideoBitRate", "768"},
                 {TParamBox::SampleRate, "paraSampleRate", "44100"},
                 {TParamBox::AudioBitRate, "paraAudioBitRate", "96"}};
    for (const auto& t : typed) {
        selectByText(t.box, settings.ReadString(section, QLatin1String(t.key), QLatin1String(t.fallback)));
        box(t.box).DropDownCount = int(Box(t.box).Items.size());
    }
    const struct {
        TParamBox box;
        const char* key;
    } indexed[] = {{TParamBox::FrameRate, "iFrameRate"},
                   {TParamBox::VideoEncoder, "iVideoEncoder"},
                   {TParamBox::Channel, "iChannel"},
                   {TParamBox::Volume, "iVolume"},
                   {TParamBox::AudioEncoder, "iAudioEncoder"}};
    for (const auto& t : indexed) {
        selectByIndex(t.box, settings.ReadInteger(section, QLatin1String(t.key), 0));
        box(t.box).DropDownCount = int(Box(t.box).Items.size());
    }
    box(TParamBox::Zoom).DropDownCount = int(Box(TParamBox::Zoom).Items.size());

    const bool hasVideo = !Box(TParamBox::VideoEncoder).Items.isEmpty();
    const bool hasAudio = !Box(TParamBox::AudioEncoder).Items.isEmpty();
    setGroupEnabled(kVideoGroup, hasVideo);
    setGroupEnabled(kAudioGroup, hasAudio);
}

void TParameterBoxes::LoadProfileWithDefaults()
{
    LoadProfile();
    if (IniFile(settingsFile_).SectionExists(Section()))
        return;
    applyDefaults(1); // "Letter Box": a never-edited profile must not stretch the picture
    LoadProfile();
}

void TParameterBoxes::applyDefaults(int zoomIndex)
{
    fillFromCatalogue(TParamBox::VideoSize, QStringLiteral("VideoSize"), false);
    fillFromCatalogue(TParamBox::VideoBitRate, QStringLiteral("VideoBitRate"), false);
    fillFromCatalogue(TParamBox::AudioBitRate, QStringLiteral("AudioBitRate"), true);
    fillFromCatalogue(TParamBox::SampleRate, QStringLiteral("SampleRate"), true);

    const IniFile catalogue(formatFile_);
    const QString section = Section();
    const struct {
        TParamBox box;
        const char* key;
    } defaults[] = {{TParamBox::VideoSize, "iVideoSize"},       {TParamBox::VideoBitRate, "iVideoBitRate"},
                    {TParamBox::FrameRate, "iFrameRate"},       {TParamBox::VideoEncoder, "iVideoEncoder"},
                    {TParamBox::AudioBitRate, "iAudioBitRate"}, {TParamBox::SampleRate, "iSampleRate"},
                    {TParamBox::Channel, "iChannel"},           {TParamBox::Volume, "iVolume"},
                    {TParamBox::AudioEncoder, "iAudioEncoder"}};
    for (const auto& d : defaults)
        selectByIndex(d.box, catalogue.ReadInteger(section, QLatin1String(d.key), 0));
    selectByIndex(TParamBox::Zoom, zoomIndex);

    VideoEncoderChange();
    VideoSizeExit();
    FrameRateChange();
    VideoBitRateChange();
    ZoomChange();
    AudioEncoderChange();
    AudioBitRateChange();
    SampleRateChange();
    ChannelChange();
    VolumeChange();
}

void TParameterBoxes::VideoEncoderChange()
{
    IniFile settings(settingsFile_);
    const QString section = Section();
    const TParamBoxState& s = Box(TParamBox::VideoEncoder);
    settings.WriteInteger(section, QStringLiteral("iVideoEncoder"), s.ItemIndex);
    if (const auto value = VideoEncoderValue(s.Text))
        settings.WriteString(section, QStringLiteral("paraVideoEncoder"), *value);
    if (!IsH264EncoderDisplay(s.Text))
        return;

    // The H.264 extras of the profile; a malformed number ends the copy with a
    // conversion error, and what was copied before it stays.
    const IniFile catalogue(formatFile_);
    const QString bitExact = catalogue.ReadString(section, QStringLiteral("paraBitExact"), QString());
    if (bitExact.toLower() == QLatin1String("true"))
        settings.WriteString(section, QStringLiteral("paraBitExact"), bitExact);
    for (const char* key : {"paraMaxBitrate", "paraBufferSize", "paraLevel", "paraQscale", "paraGop"}) {
        const QString v = catalogue.ReadString(section, QLatin1String(key), QString());
        if (!v.isEmpty() && StrToInt(v) > 0)
            settings.WriteString(section, QLatin1String(key), v);
    }
    const QString coder = catalogue.ReadString(section, QStringLiteral("paraCoder"), QString());
    if (!coder.isEmpty() && StrToInt(coder) >= 0)
        settings.WriteString(section, QStringLiteral("paraCoder"), coder);
}

void TParameterBoxes::rejectTo2ndItem(TParamBox b)
{
    if (Box(b).Items.size() > 1)
        selectByIndex(b, 1);
}

bool TParameterBoxes::validateNumber(TParamBox b, const QString& indexKey, const QString& valueKey,
                                     const QString& message, bool allowDecimal)
{
    // A disabled box (a profile without that kind of stream) holds nothing to check.
    if (!Box(b).Enabled)
        return true;
    const QString text = Box(b).Text;
    const bool accepted =
        IsInteger(text) || text == QLatin1String("as source") || (allowDecimal && IsFloat(text));
    if (!accepted) {
        ShowMessage(message);
        rejectTo2ndItem(b);
        return false;
    }
    IniFile settings(settingsFile_);
    settings.WriteInteger(Section(), indexKey, Box(b).ItemIndex);
    settings.WriteString(Section(), valueKey, text);
    return true;
}

void TParameterBoxes::VideoBitRateChange()
{
    validateNumber(TParamBox::VideoBitRate, QStringLiteral("iVideoBitRate"), QStringLiteral("paraVideoBitRate"),
                   QStringLiteral("Video BitRate is not a valid value!"), false);
}

void TParameterBoxes::SampleRateChange()
{
    validateNumber(TParamBox::SampleRate, QStringLiteral("iSampleRate"), QStringLiteral("paraSampleRate"),
                   QStringLiteral("Audio SampleRate is not a valid value!"), false);
}

void TParameterBoxes::AudioBitRateChange()
{
    validateNumber(TParamBox::AudioBitRate, QStringLiteral("iAudioBitRate"), QStringLiteral("paraAudioBitRate"),
                   QStringLiteral("Audio BitRate is not a valid value!"), true);
}

void TParameterBoxes::FrameRateChange()
{
    IniFile settings(settingsFile_);
    const TParamBoxState& s = Box(TParamBox::FrameRate);
    settings.WriteInteger(Section(), QStringLiteral("iFrameRate"), s.ItemIndex);
    settings.WriteString(Section(), QStringLiteral("paraFrameRate"), s.Text);
}

void TParameterBoxes::ZoomChange()
{
    if (const auto value = ZoomValueForIndex(Box(TParamBox::Zoom).ItemIndex))
        IniFile(settingsFile_).WriteString(Section(), QStringLiteral("paraZoom"), *value);
}

void TParameterBoxes::AudioEncoderChange()
{
    IniFile settings(settingsFile_);
    const TParamBoxState& s = Box(TParamBox::AudioEncoder);
    settings.WriteInteger(Section(), QStringLiteral("iAudioEncoder"), s.ItemIndex);
    if (const auto value = AudioEncoderValue(s.Text))
        settings.WriteString(Section(), QStringLiteral("paraAudioEncoder"), *value);
}

void TParameterBoxes::ChannelChange()
{
    IniFile settings(settingsFile_);
    const TParamBoxState& s = Box(TParamBox::Channel);
    settings.WriteInteger(Section(), QStringLiteral("iChannel"), s.ItemIndex);
    if (const auto value = ChannelValue(s.Text))
        settings.WriteString(Section(), QStringLiteral("paraChannel"), *value);
}

void TParameterBoxes::VolumeChange()
{
    IniFile settings(settingsFile_);
    const TParamBoxState& s = Box(TParamBox::Volume);
    settings.WriteInteger(Section(), QStringLiteral("iVolume"), s.ItemIndex);
    // No item at all (a profile without a volume list) has no percentage to convert.
    if (s.ItemIndex < 0 && s.Text.isEmpty())
        return;
    if (const auto value = VolumeValue(s.Text))
        settings.WriteString(Section(), QStringLiteral("paraVolume"), *value);
}

void TParameterBoxes::VideoSizeSelect()
{
    IniFile settings(settingsFile_);
    const TParamBoxState& s = Box(TParamBox::VideoSize);
    settings.WriteInteger(Section(), QStringLiteral("iVideoSize"), s.ItemIndex);
    settings.WriteString(Section(), QStringLiteral("paraVideoSize"), s.Text);
}

bool TParameterBoxes::VideoSizeExit()
{
    if (!Box(TParamBox::VideoSize).Enabled)
        return true;
    const QString text = Box(TParamBox::VideoSize).Text;
    const int index = indexOfText(TParamBox::VideoSize, text);
    if (text.toLower().contains(QLatin1String("as source")))
        return true;

    auto reject = [this] {
        ShowMessage(QStringLiteral("Frame Size is not a valid value!"));
        rejectTo2ndItem(TParamBox::VideoSize);
        return false;
    };
    const qsizetype x = text.lastIndexOf(QLatin1Char('x'));
    if (x < 0)
        return reject();
    int width = 0, height = 0;
    if (!TryStrToInt(text.left(x), width) || !TryStrToInt(text.mid(x + 1), height))
        return reject();
    // A negative size can only be pasted in; no encoder takes it.
    if (width < 0 || height < 0)
        return reject();

    if (width % 2 != 0 || height % 2 != 0 || width == 0 || height == 0) {
        const int w = width / 2 * 2 == 0 ? 2 : width / 2 * 2;
        const int h = height / 2 * 2 == 0 ? 2 : height / 2 * 2;
        const QString corrected = QStringLiteral("%1x%2").arg(w).arg(h);
        Dialogs().MessageBox(QStringLiteral("Frame Size must be a multiple of 2.\nThe correct value:") + corrected,
                             QStringLiteral("Input Error!"), TMsgIcon::None, TMsgButtons::Ok);
        SetText(TParamBox::VideoSize, corrected);
    }
    IniFile settings(settingsFile_);
    settings.WriteInteger(Section(), QStringLiteral("iVideoSize"), index < 0 ? 0 : index);
    settings.WriteString(Section(), QStringLiteral("paraVideoSize"), Box(TParamBox::VideoSize).Text);
    return true;
}

bool TParameterBoxes::NumericKeyPress(TParamBox, QChar key)
{
    if (isAsciiDigit(key) || key == kBackspace)
        return true;
    ShowMessage(QStringLiteral("Please enter numerical."));
    Dialogs().Beep();
    return false;
}

bool TParameterBoxes::VideoSizeKeyPress(QChar key)
{
    const QString& text = Box(TParamBox::VideoSize).Text;
    if (text.isEmpty() || key == kBackspace || isAsciiDigit(key))
        return true;
    if (key == QLatin1Char('x') && !text.contains(QLatin1Char('x')))
        return true;
    Dialogs().Beep();
    return false;
}
