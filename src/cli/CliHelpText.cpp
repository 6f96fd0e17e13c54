#include "cli/CliHelpText.h"

#include "cli/CliArguments.h"

QString CliHelpText()
{
    return QStringLiteral(
               "Usage:\n"
               "  clarvix-convert --list-profiles\n"
               "  clarvix-convert --info FILE...\n"
               "  clarvix-convert [options] FILE...\n"
               "  clarvix-convert --print-options [options] FILE...\n"
               "\n"
               "Converts each FILE as the main window's Start does for a checked row with the\n"
               "same settings: the profile's parameters from the settings file, the file's own\n"
               "trim, crop, zoom, watermark and effects from the options below.\n"
               "\n"
               "Modes:\n"
               "  --list-profiles        one line per profile, CODE<TAB>NAME, in catalogue order\n"
               "  --info FILE...         the probe's information text of each file\n"
               "  --print-options        print the input and output records of each file, one\n"
               "                         Field=value line each, and convert nothing\n"
               "  --help, -h             this text\n"
               "\n"
               "Options:\n"
               "  --profile CODE         the output profile (default: \"FormatCode\" of the settings)\n"
               "  --output-dir DIR       where outputs go (default: \"OutPutDir\" of the settings)\n"
               "  --settings FILE        the settings file (default: the program's own)\n"
               "  --catalogue FILE       the format catalogue (default: the program's own)\n"
               "  --start SECONDS        trim: start of the part converted (default 0)\n"
               "  --duration SECONDS     trim: length of the part converted (default: to the end)\n"
               "  --crop TOP,BOTTOM,LEFT,RIGHT\n"
               "                         pixels cut from each edge, even source pixels (default 0)\n"
               "  --zoom full|lbox|pan|center\n"
               "                         the zoom mode (default: the profile's, else lbox)\n"
               "  --text TEXT            watermark text (default: none)\n"
               "  --text-pos X,Y         top-left of the text in frame pixels (default 0,0)\n"
               "  --font NAME,SIZE       font of the text in points (default \"MS Sans Serif\",8)\n"
               "  --image FILE.bmp       watermark picture (default: none)\n"
               "  --image-pos X,Y        top-left of the picture in frame pixels (default 0,0)\n"
               "  --alpha N              opacity of the picture, 0 to 255 (default 168)\n"
               "  --style 1|2            blending of the picture: 1 alpha, 2 multiply (default 1)\n"
               "  --brightness N         0 to 512, 255 neutral (default 255)\n"
               "  --contrast N           -100 to 100, 0 neutral (default 0)\n"
               "  --saturation N         0 to 512, 255 neutral (default 255)\n"
               "  --exposure N           -255 to 512, 0 none (default 0)\n"
               "  --jobs N               convert N files at once, 1 to %1 (default 1)\n"
               "  --quiet                no progress lines\n"
               "\n"
               "Progress goes to standard error, each output path to standard output when its\n"
               "file is done. Ctrl-C stops the running conversions the way Cancel does.\n"
               "Seconds may have fractions; at most %2. Pixel values are at most %3.\n"
               "\n"
               "Exit status: 0 every file converted, 1 some failed, 2 usage error or an\n"
               "unreadable catalogue or settings file, 130 stopped by Ctrl-C.\n"
               "\n"
               "Examples:\n"
               "  clarvix-convert --profile 1 --output-dir ~/ipod holiday.avi\n"
               "  clarvix-convert --profile 500 --start 30 --duration 60 concert.mkv\n"
               "  clarvix-convert --text \"(c) 2009\" --font \"DejaVu Sans,16\" --brightness 300 *.mp4\n")
        .arg(MaxCliJobs)
        .arg(qint64(MaxCliSeconds))
        .arg(MaxCliPixels);
}

QString CliUsageHint()
{
    return QStringLiteral("clarvix-convert --help shows the usage.");
}
