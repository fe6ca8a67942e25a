#pragma once

#include <QString>

// The script URL of the map-centre command. Set as the panel's URL, it opens a prompt box whose input
// line holds the map centre as "(latitude, longitude)", taken from the classic map object
// (gApplication) where the page has one, else from the "/@lat,lng,zoom" part that today's map page
// keeps in its own address. It opens nothing when neither is there (the window then says so).
class MapCentreScript {
public:
    static QString url();
};
