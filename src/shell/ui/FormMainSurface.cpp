// The surface details page (KAVRO mode), the speed limit page and the external model's surface
// details page (DOVEL mode): the pages commit the values they accept through the host; the main
// window creates them and refreshes them with every redraw.

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
  PageKAVROSurfaceDetails = new TPageKAVROSurfaceDetails(TrafficHost(), std::move(rows));
  HostPage(kSurfaceDetailsPage, PageKAVROSurfaceDetails, PageKAVROSurfaceDetails);

  PageSpeedLimit = new TPageSpeedLimit(TrafficHost());
  HostPage(kSpeedLimitPage, PageSpeedLimit, PageSpeedLimit);
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

  PageDOVELSurfaceDetails = new TPageDOVELSurfaceDetails(TrafficHost());
  HostPage(kDovelSurfaceDetailsPage, PageDOVELSurfaceDetails);
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
