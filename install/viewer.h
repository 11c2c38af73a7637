// Whether the viewer is running: both the silent run and the wizard refuse to install then.
#pragma once

// True when a top-level window of the viewer (class "Pixmora") is open.
bool IsViewerRunning();
