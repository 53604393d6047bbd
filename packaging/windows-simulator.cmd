@echo off
rem Pt4prog on the simulated programmer: a model of the ZI4 adapter with a blank
rem K556PT4 in its socket, to try everything without hardware or a driver.
set PT4_PORT=sim
start "" "%~dp0pt4prog.exe" %*
