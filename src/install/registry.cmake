# Registry section and joystick/uninstall registration.
