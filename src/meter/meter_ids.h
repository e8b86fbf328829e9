// Resource identifiers of the meter window (range 200-299).
#pragma once

#define IDB_METER_NOHOLD 201     // imgNohold: the pin button when not pinned, 16 x 16
#define IDB_METER_HOLD 202       // imgHold: the pin button when pinned, 16 x 16
#define IDB_METER_EXIT 203       // picExitPicture: the close button at rest, 16 x 14
#define IDB_METER_EXIT_DOWN 204  // picExitPictureDown: the close button under the mouse, 16 x 14
