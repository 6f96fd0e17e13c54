#include "cli/CliRunView.h"

#include "cli/CliConsole.h"
#include "cli/CliProgressLine.h"

void TCliRunView::ShowProgress(const TRunProgressTexts& texts)
{
    if (FQuiet)
        return;
    FLastTexts[texts.TaskIndex] = texts;
    FConsole.Progress(texts.TaskIndex, CliProgressLine(texts));
}

void TCliRunView::ShowDuringRun()
{
    if (!FClosed)
        FLoop.exec();
    FClosed = false;
}

void TCliRunView::CloseView()
{
    FClosed = true;
    FLoop.quit();
}

void TCliRunView::EndProgress(int taskIndex, bool converted)
{
    const auto last = FLastTexts.find(taskIndex);
    if (last == FLastTexts.end())
        return;
    TRunProgressTexts texts = last->second;
    if (converted && texts.Percent && *texts.Percent != 100) {
        texts.Percent = 100;
        texts.BarText = PercentText(100);
        FConsole.Progress(taskIndex, CliProgressLine(texts));
    }
    FConsole.EndProgress(taskIndex);
    FLastTexts.erase(last);
}
