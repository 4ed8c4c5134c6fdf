#include "controller/track_csv.h"

#include "controller/number_text.h"

#include <array>

namespace kentrikh {

std::string trackCsvText(const TrackRecord &track)
{
    const std::array<const TrackArray *, 13> columns
        = {&track.TrackX, &track.TrackY, &track.TrackVX, &track.TrackVY, &track.TrackSpringFX,
            &track.TrackSpringFY, &track.TrackMagFX, &track.TrackMagFY, &track.TrackNetFX,
            &track.TrackNetFY, &track.TrackRho, &track.TrackCentreX, &track.TrackCentreY};

    std::string csv = "sample,x,y,vx,vy,spring_fx,spring_fy,mag_fx,mag_fy,net_fx,net_fy,rho,"
                      "centre_x,centre_y\n";
    for (int i = 0; i < TrackSize; ++i) {
        csv += std::to_string(i);
        for (const TrackArray *column : columns) {
            csv += ',';
            if (column->isSet(i))
                csv += roundTripText((*column)[i]);
        }
        csv += '\n';
    }
    return csv;
}

} // namespace kentrikh
