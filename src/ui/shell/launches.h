#pragma once

#include <QUrl>

namespace quarbel {

// Pages and the calculator open through the seams without waiting; a page that cannot be
// found or a calculator that is not installed is passed over without a word.
QUrl homePageUrl();
void openHomePage();
void openTutorial();
void openHelp();
void startCalculator();

} // namespace quarbel
