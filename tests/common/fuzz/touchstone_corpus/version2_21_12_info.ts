[Version] 2.0
# GHz S RI R 50
[Number of Ports] 2
[Two-Port Data Order] 21_12
[Number of Frequencies] 2
[Reference]
50 ! port 1
75 ! port 2
[Begin Information]
[Manufacturer] none
1 2 3
[End Information]
[Network Data]
1 0.1 0.2 0.7 0.1 0.7 0.1 0.1 0.3
2 0.2 0.1 0.6 0.2 0.6 0.2 0.2 0.2
[End]
