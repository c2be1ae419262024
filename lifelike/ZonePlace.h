#pragma once
// The place the time-zone database gives the local zone: its reference
// point (for Europe/Berlin, Berlin), good enough for sun times when the
// person has set no place of their own.
#include <optional>
#include <string>

#include "SunTimes.h"

namespace lifelike {

// Where the zone is named and where the database lies; the defaults are the
// system's, a test points them elsewhere.
struct ZoneSources {
    std::optional<std::string> tz;  // the value of TZ; nullopt when unset
    std::string timezoneFile = "/etc/timezone";
    std::string localtimeLink = "/etc/localtime";
    std::string zoneinfo = "/usr/share/zoneinfo";

    static ZoneSources OfThisProcess();  // TZ from the environment
};

// The local zone's name (`Europe/Berlin`): from TZ when it is set (either
// `Europe/Berlin` or `:Europe/Berlin`), else /etc/timezone, else the target
// of the /etc/localtime link.
std::optional<std::string> LocalZoneName(const ZoneSources& sources);

// The reference point of a zone in zone.tab, else zone1970.tab.  A name the
// tables lack that is a link to a zone (US/Eastern) is that zone's.
std::optional<Place> ZoneReferencePoint(const std::string& zone, const std::string& zoneinfo);

// Both of the above: unknown when the zone has no name or no point.
std::optional<Place> PlaceOfLocalZone(const ZoneSources& sources);

// Where sun times are worked out: the person's place, else the zone's.
// Without either, `problem` is the one line that tells the person.
struct SunPlace {
    std::optional<Place> place;
    std::string problem;
};
SunPlace PlaceForSunTimes(const std::optional<Place>& personsPlace, const ZoneSources& sources);

}  // namespace lifelike
