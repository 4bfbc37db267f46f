// The surface details page (KAVRO mode), the speed limit page and the external model's surface
// details page (DOVEL mode): every value the pages accept records its undo point, is written
// into the selected cells and redraws the road, which refreshes the page.

#include <QLineEdit>
#include <QMenu>
#include <cmath>

#include "config/DovelLink.h"
#include "config/KDConfig.h"
#include "config/ProgramMode.h"
#include "extmodel/DovelCalls.h"
#include "roadview/SurfaceDetailEditing.h"
#include "roadview/SurfaceDetailLabels.h"
#include "roadview/ui/PageSurfaceDetails.h"
#include "roadview/ui/RoadView.h"
#include "shell/PageCatalogue.h"
#include "shell/ui/FormMain.h"
#include "shell/ui/FormValue.h"
#include "shell/ui/QtText.h"

namespace {

// The external model's speed limit parameter.
constexpr int kSpeedLimitClass = 2;
constexpr int kSpeedLimitId = 2;

}  // namespace

void TFormMain::CreateSurfacePages() {
  std::vector<SurfaceDetailRow> rows;
  const char* const captions[kKavroSurfaceRows] = {"LabelSpeedSuppression", "LabelTrucksAllowed",
                                                   "LabelSpeedLimit"};
  for (int i = 0; i < kKavroSurfaceRows; ++i) rows.push_back(KavroSurfaceRow(i, Text(captions[i])));
  PageKAVROSurfaceDetails = new TPageKAVROSurfaceDetails(std::move(rows));
  HostPage(kSurfaceDetailsPage, PageKAVROSurfaceDetails);
  connect(PageKAVROSurfaceDetails, &TPageKAVROSurfaceDetails::ApplyValue, this,
          &TFormMain::SurfaceValueApply);
  connect(PageKAVROSurfaceDetails, &TPageKAVROSurfaceDetails::OtherClick, this,
          &TFormMain::SurfaceOtherClick);
  connect(PageKAVROSurfaceDetails, &TPageKAVROSurfaceDetails::DetailChosen, this,
          &TFormMain::RedrawRoad);

  PageSpeedLimit = new TPageSpeedLimit;
  HostPage(kSpeedLimitPage, PageSpeedLimit);
  PageSpeedLimit->SetRange([this](int& low, int& high) {
    if (mode_ != DOVEL || !udov_) return false;
    float minimum = 0.0f;
    float maximum = 0.0f;
    if (Dovel::Get_param_info(kSpeedLimitClass, kSpeedLimitId, &minimum, &maximum, nullptr, nullptr,
                              0, nullptr, 0, nullptr, 0) < 0)
      return false;
    low = static_cast<int>(std::ceil(minimum));
    high = static_cast<int>(std::floor(maximum));
    return true;
  });
  connect(PageSpeedLimit, &TPageSpeedLimit::ApplySpeedLimit, this, &TFormMain::SpeedLimitApply);
  connect(PageSpeedLimit, &TPageSpeedLimit::OtherClick, this, &TFormMain::SpeedLimitOtherClick);

  PageDOVELSurfaceDetails = new TPageDOVELSurfaceDetails;
  HostPage(kDovelSurfaceDetailsPage, PageDOVELSurfaceDetails);
  connect(PageDOVELSurfaceDetails, &TPageDOVELSurfaceDetails::DetailChosen, this,
          &TFormMain::RedrawRoad);
  connect(PageDOVELSurfaceDetails, &TPageDOVELSurfaceDetails::SliderMoved, this,
          &TFormMain::DovelSurfaceSliderMoved);
}

void TFormMain::ShowModelSurfaceDetails() {
  std::vector<SurfaceDetailView> views;
  for (int d = 0; d < DOVEL_SURFACE_DETAILS; ++d) {
    SurfaceDetailInfo info;
    KDConfig::GetSurfaceDetailInfo(d, info);
    views.push_back({info.perLane, info.type == 1, info.format});
  }
  RoadViewMain->SetSurfaceDetails(views);
}

// Part of every redraw while one of the pages is shown, so they show the stored values.
void TFormMain::RefreshSurfacePages(int page) {
  if (!document_) return;
  if (page == kSurfaceDetailsPage && PageKAVROSurfaceDetails)
    PageKAVROSurfaceDetails->Refresh(Config(), selection_);
  if (page == kSpeedLimitPage && PageSpeedLimit)
    PageSpeedLimit->ShowSpeedLimit(SectionSpeedLimit(Config(), selection_));
  if (page == kDovelSurfaceDetailsPage && PageDOVELSurfaceDetails)
    PageDOVELSurfaceDetails->Refresh(Config(), selection_);
}

void TFormMain::SurfaceValueApply(int value) {
  const SurfaceDetailRow& row = PageKAVROSurfaceDetails->Row();
  if (!SurfaceValueAllowed(row, value)) return;
  RecordUndo(Text("LabelSetKAVROSurfaceDetail"));
  SetSurfaceValue(Config(), row, selection_, value);
  ConfigurationChanged();
  RedrawRoad();
}

void TFormMain::SurfaceOtherClick() {
  const SurfaceDetailRow row = PageKAVROSurfaceDetails->Row();
  int current = 0;
  ScanFieldNumber(ToText(PageKAVROSurfaceDetails->EditKAVROSurfaceDetailsValue->text()), current);
  int value = 0;
  if (!AskValue(this, lastScreenPoint_.x(), lastScreenPoint_.y(), current,
                static_cast<int>(std::trunc(row.low)), static_cast<int>(std::trunc(row.high)),
                "Enter new value", SurfaceOtherCaption(row), value))
    return;
  SurfaceValueApply(value);
}

void TFormMain::SpeedLimitApply(int limit) {
  if (limit < 1) return;
  RecordUndo("set speed limit");
  SetSectionSpeedLimit(Config(), selection_, limit);
  ConfigurationChanged();
  RedrawRoad();
}

void TFormMain::SpeedLimitOtherClick() {
  int current = 0;
  ScanFieldNumber(ToText(PageSpeedLimit->EditSpeedLimit->text()), current);
  int value = 0;
  // The dialog's range, not the model's.
  if (!AskValue(this, lastScreenPoint_.x(), lastScreenPoint_.y(), current, 1, 100,
                "Enter new value ", "Set Speed Limit Value", value))
    return;
  if (value < 1 || value > 100) return;
  SpeedLimitApply(value);
}

void TFormMain::DovelSurfaceSliderMoved(int position) {
  const int detail = PageDOVELSurfaceDetails->Detail();
  SurfaceDetailInfo info;
  KDConfig::GetSurfaceDetailInfo(detail, info);
  // Without the model's range nothing could be stored that the model accepts.
  if (info.type < 0) return;
  RecordUndo("surface detail change");
  SetDetailValue(Config(), selection_, detail, info.perLane, DetailSliderValue(info, position));
  ConfigurationChanged();
  RedrawRoad();
}

// The value pop-up menus open over a selection that holds an open lane.
bool TFormMain::SurfaceContextMenu(int page, QPoint screen) {
  if (page != kSurfaceDetailsPage && page != kSpeedLimitPage) return false;
  if (!SelectionHoldsOpenLane(Config(), selection_)) return true;
  lastScreenPoint_ = screen;
  RedrawRoad();  // the entries follow the selection
  if (page == kSurfaceDetailsPage) {
    PageKAVROSurfaceDetails->PreparePopup();
    PageKAVROSurfaceDetails->PopupMenuKAVROSurfaceDetails->popup(screen);
  } else {
    PageSpeedLimit->PreparePopup();
    PageSpeedLimit->PopupMenuSpeedLimit->popup(screen);
  }
  return true;
}
